#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Distinguished names as X.500 strings: RDNs in their encoded order separated by
// ", ", attributes of one RDN by " + ", each as KEY=value with the short keys CN,
// SN, SERIALNUMBER, C, L, S, STREET, O, OU, T, G, I, E, DC, INN, OGRN, SNILS,
// OGRNIP, INNLE, or OID.<dotted> for others. A value that is empty, has leading or
// trailing blanks, or holds one of , + = " < > # ; or a line break is put in double
// quotes with inner quotes doubled. Text is UTF-8 (Cyrillic as it is).
namespace nxcrypto {
namespace csp {

// String type choice when a text becomes a name.
constexpr uint32_t kNameStrEnableUtf8Unicode = 0x00040000; // UTF8String where PrintableString does not fit
constexpr uint32_t kNameStrForceUtf8DirStr = 0x00080000;   // UTF8String for every directory string
// (0: PrintableString where it fits, else BMPString.)

bool nameToString(const std::vector<uint8_t>& derName, std::string* text);
// Fails with CRYPT_E_INVALID_X500_STRING for a text that is no X.500 string.
bool stringToName(const std::string& text, uint32_t flags, std::vector<uint8_t>* derName);

} // namespace csp
} // namespace nxcrypto
