#include "x500_name.h"

#include "openssl_ptr.h"

namespace standin {

std::string x500NameText(const X509_NAME* name)
{
    constexpr unsigned long flags = XN_FLAG_SEP_CPLUS_SPC | XN_FLAG_FN_SN | ASN1_STRFLGS_ESC_2253
                                    | ASN1_STRFLGS_ESC_CTRL | ASN1_STRFLGS_UTF8_CONVERT
                                    | ASN1_STRFLGS_DUMP_UNKNOWN | ASN1_STRFLGS_DUMP_DER;
    BioPtr bio(BIO_new(BIO_s_mem()));
    if (!bio || X509_NAME_print_ex(bio.get(), name, 0, flags) < 0)
        return {};
    char* data = nullptr;
    const long size = BIO_get_mem_data(bio.get(), &data);
    return std::string(data, static_cast<std::size_t>(size));
}

} // namespace standin
