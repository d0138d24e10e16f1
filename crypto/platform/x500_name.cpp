#include "crypto/platform/x500_name.h"

#include "crypto/platform/asn1_util_p.h"
#include "crypto/platform/error_codes.h"
#include "crypto/platform/hex_text.h"
#include "crypto/platform/last_error.h"
#include "crypto/platform/openssl_init.h"
#include "crypto/platform/openssl_ptr.h"

#include <openssl/asn1.h>
#include <openssl/err.h>
#include <openssl/objects.h>

#include <cctype>
#include <cstring>

namespace nxcrypto {
namespace csp {

namespace {

struct KeyName
{
    const char* key;
    const char* oid;
};

const KeyName keyNames[] = {
    {"CN", "2.5.4.3"},
    {"SN", "2.5.4.4"},
    {"SERIALNUMBER", "2.5.4.5"},
    {"C", "2.5.4.6"},
    {"L", "2.5.4.7"},
    {"S", "2.5.4.8"},
    {"STREET", "2.5.4.9"},
    {"O", "2.5.4.10"},
    {"OU", "2.5.4.11"},
    {"T", "2.5.4.12"},
    {"G", "2.5.4.42"},
    {"I", "2.5.4.43"},
    {"E", "1.2.840.113549.1.9.1"},
    {"DC", "0.9.2342.19200300.100.1.25"},
    {"INN", "1.2.643.3.131.1.1"},
    {"OGRN", "1.2.643.100.1"},
    {"SNILS", "1.2.643.100.3"},
    {"INNLE", "1.2.643.100.4"},
    {"OGRNIP", "1.2.643.100.5"},
};

std::string keyForOid(const std::string& oid)
{
    for (const KeyName& entry : keyNames)
        if (oid == entry.oid)
            return entry.key;
    return "OID." + oid;
}

std::string oidForKey(std::string key)
{
    for (char& c : key)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    for (const KeyName& entry : keyNames)
        if (key == entry.key)
            return entry.oid;
    if (key == "EMAIL" || key == "EMAILADDRESS")
        return "1.2.840.113549.1.9.1";
    if (key == "ST")
        return "2.5.4.8";
    if (key.compare(0, 4, "OID.") == 0)
        key = key.substr(4);
    if (key.empty())
        return std::string();
    for (char c : key)
        if (!std::isdigit(static_cast<unsigned char>(c)) && c != '.')
            return std::string();
    return key;
}

// Blanks at either end are quoted, the same blanks the parser skips around a value.
bool needsQuotes(const std::string& value)
{
    static const std::string blanks = " \t\r\n";
    if (value.empty() || blanks.find(value.front()) != std::string::npos
        || blanks.find(value.back()) != std::string::npos)
        return true;
    return value.find_first_of(",+=\"<>#;\r\n") != std::string::npos;
}

std::string quoted(const std::string& value)
{
    if (!needsQuotes(value))
        return value;
    std::string result = "\"";
    for (char c : value) {
        if (c == '"')
            result += '"';
        result += c;
    }
    return result + "\"";
}

std::string valueText(const ASN1_STRING* value)
{
    switch (ASN1_STRING_type(value)) {
    case V_ASN1_UTF8STRING:
    case V_ASN1_PRINTABLESTRING:
    case V_ASN1_IA5STRING:
    case V_ASN1_T61STRING:
    case V_ASN1_BMPSTRING:
    case V_ASN1_UNIVERSALSTRING:
    case V_ASN1_VISIBLESTRING:
    case V_ASN1_NUMERICSTRING: {
        unsigned char* utf8 = nullptr;
        const int length = ASN1_STRING_to_UTF8(&utf8, value);
        if (length < 0)
            break;
        std::string text(reinterpret_cast<char*>(utf8), static_cast<size_t>(length));
        OPENSSL_free(utf8);
        return quoted(text);
    }
    default:
        break;
    }
    // Not a string: the DER of the value in hexadecimal, as "#...".
    ASN1_TYPE any;
    any.type = ASN1_STRING_type(value);
    any.value.asn1_string = const_cast<ASN1_STRING*>(value);
    unsigned char* der = nullptr;
    const int length = i2d_ASN1_TYPE(&any, &der);
    if (length <= 0)
        return "#";
    std::string text = "#" + hexText(der, static_cast<size_t>(length), true);
    OPENSSL_free(der);
    return text;
}

// One attribute of a parsed text.
struct ParsedAttribute
{
    std::string oid;
    std::string value;
    bool hex = false;
    bool newRdn = true;
};

void skipBlanks(const std::string& text, size_t& i)
{
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\r' || text[i] == '\n'))
        ++i;
}

bool parse(const std::string& text, std::vector<ParsedAttribute>* attributes)
{
    size_t i = 0;
    bool newRdn = true;
    skipBlanks(text, i);
    if (i == text.size())
        return true;
    for (;;) {
        skipBlanks(text, i);
        const size_t keyStart = i;
        while (i < text.size() && text[i] != '=')
            ++i;
        if (i == text.size())
            return false;
        std::string key = text.substr(keyStart, i - keyStart);
        while (!key.empty() && key.back() == ' ')
            key.pop_back();
        ParsedAttribute attribute;
        attribute.oid = oidForKey(key);
        attribute.newRdn = newRdn;
        if (attribute.oid.empty())
            return false;
        ++i; // '='
        skipBlanks(text, i);
        if (i < text.size() && text[i] == '"') {
            ++i;
            for (;;) {
                if (i == text.size())
                    return false;
                if (text[i] == '"') {
                    if (i + 1 < text.size() && text[i + 1] == '"') {
                        attribute.value += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                attribute.value += text[i++];
            }
            skipBlanks(text, i);
        } else {
            const size_t valueStart = i;
            while (i < text.size() && text[i] != ',' && text[i] != ';' && text[i] != '+')
                ++i;
            attribute.value = text.substr(valueStart, i - valueStart);
            while (!attribute.value.empty() && attribute.value.back() == ' ')
                attribute.value.pop_back();
            if (!attribute.value.empty() && attribute.value.front() == '#') {
                attribute.hex = true;
                attribute.value.erase(0, 1);
            }
        }
        attributes->push_back(attribute);
        if (i == text.size())
            return true;
        if (text[i] == '+')
            newRdn = false;
        else if (text[i] == ',' || text[i] == ';')
            newRdn = true;
        else
            return false;
        ++i;
    }
}

bool decodeHex(const std::string& text, std::vector<unsigned char>* bytes)
{
    if (text.empty() || text.size() % 2)
        return false;
    for (size_t i = 0; i < text.size(); i += 2) {
        const int high = hexDigitValue(text[i]);
        const int low = hexDigitValue(text[i + 1]);
        if (high < 0 || low < 0)
            return false;
        bytes->push_back(static_cast<unsigned char>(high * 16 + low));
    }
    return true;
}

unsigned long stringMask(const std::string& oid, uint32_t flags)
{
    if (oid == "2.5.4.6")
        return B_ASN1_PRINTABLESTRING;
    if (oid == "1.2.840.113549.1.9.1" || oid == "0.9.2342.19200300.100.1.25")
        return B_ASN1_IA5STRING;
    if (oid == "1.2.643.3.131.1.1" || oid == "1.2.643.100.1" || oid == "1.2.643.100.3" || oid == "1.2.643.100.4"
        || oid == "1.2.643.100.5")
        return B_ASN1_NUMERICSTRING | B_ASN1_PRINTABLESTRING | B_ASN1_UTF8STRING;
    if (flags & kNameStrForceUtf8DirStr)
        return B_ASN1_UTF8STRING;
    if (flags & kNameStrEnableUtf8Unicode)
        return B_ASN1_PRINTABLESTRING | B_ASN1_UTF8STRING;
    return B_ASN1_PRINTABLESTRING | B_ASN1_BMPSTRING;
}

bool addAttribute(X509_NAME* name, const ParsedAttribute& attribute, uint32_t flags)
{
    OpenSslPtr<ASN1_OBJECT> object(OBJ_txt2obj(attribute.oid.c_str(), 1));
    if (!object)
        return false;
    X509_NAME_ENTRY* entry = nullptr;
    if (attribute.hex) {
        std::vector<unsigned char> der;
        if (!decodeHex(attribute.value, &der))
            return false;
        const unsigned char* cursor = der.data();
        OpenSslPtr<ASN1_TYPE> any(d2i_ASN1_TYPE(nullptr, &cursor, static_cast<long>(der.size())));
        if (!any || any->type == V_ASN1_SEQUENCE || any->type == V_ASN1_SET || any->type == V_ASN1_OBJECT
            || any->type == V_ASN1_NULL || any->type == V_ASN1_BOOLEAN)
            return false;
        entry = X509_NAME_ENTRY_create_by_OBJ(nullptr, object.get(), any->type,
                                              ASN1_STRING_get0_data(any->value.asn1_string),
                                              ASN1_STRING_length(any->value.asn1_string));
    } else {
        ASN1_STRING* value = nullptr;
        if (ASN1_mbstring_copy(&value, reinterpret_cast<const unsigned char*>(attribute.value.data()),
                               static_cast<int>(attribute.value.size()), MBSTRING_UTF8,
                               stringMask(attribute.oid, flags))
            < 0)
            return false;
        OpenSslPtr<ASN1_STRING> owned(value);
        entry = X509_NAME_ENTRY_create_by_OBJ(nullptr, object.get(), ASN1_STRING_type(value),
                                              ASN1_STRING_get0_data(value), ASN1_STRING_length(value));
    }
    if (!entry)
        return false;
    const bool added = X509_NAME_add_entry(name, entry, -1, attribute.newRdn ? 0 : -1) == 1;
    X509_NAME_ENTRY_free(entry);
    return added;
}

} // namespace

bool nameToString(const std::vector<uint8_t>& derName, std::string* text)
{
    initOpenSsl();
    const unsigned char* cursor = derName.data();
    X509NamePtr name(d2i_X509_NAME(nullptr, &cursor, static_cast<long>(derName.size())));
    if (!name) {
        ERR_clear_error();
        return fail(err::kCryptEAsn1BadTag);
    }
    text->clear();
    int previousSet = -1;
    const int count = X509_NAME_entry_count(name.get());
    for (int i = 0; i < count; ++i) {
        const X509_NAME_ENTRY* entry = X509_NAME_get_entry(name.get(), i);
        const int set = X509_NAME_ENTRY_set(entry);
        if (i > 0)
            *text += set == previousSet ? " + " : ", ";
        previousSet = set;
        *text += keyForOid(oidText(X509_NAME_ENTRY_get_object(entry)));
        *text += '=';
        *text += valueText(X509_NAME_ENTRY_get_data(entry));
    }
    return true;
}

bool stringToName(const std::string& text, uint32_t flags, std::vector<uint8_t>* derName)
{
    initOpenSsl();
    std::vector<ParsedAttribute> attributes;
    if (!parse(text, &attributes))
        return fail(err::kCryptEInvalidX500String);
    X509NamePtr name(X509_NAME_new());
    for (const ParsedAttribute& attribute : attributes) {
        if (!addAttribute(name.get(), attribute, flags)) {
            ERR_clear_error();
            return fail(err::kCryptEInvalidX500String);
        }
    }
    unsigned char* out = nullptr;
    const int length = i2d_X509_NAME(name.get(), &out);
    if (length <= 0) {
        ERR_clear_error();
        return fail(err::kCryptEBadEncode);
    }
    derName->assign(out, out + length);
    OPENSSL_free(out);
    return true;
}

} // namespace csp
} // namespace nxcrypto
