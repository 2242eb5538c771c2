// The vendor's signature on the update information: the text as written,
// then one last line "; Signature = " with the signature of every byte
// before that line in upper-case hexadecimal (tools/update-sign writes it).
// To a reader that knows no signature the line is a comment.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

constexpr char kUpdateSignaturePrefix[] = "; Signature = ";

struct CSignedUpdateText {
    std::string strSigned;                 // every byte before the signature line
    std::vector<unsigned char> arrSignature;  // as the signer wrote it (big-endian)
};

// Takes the text apart. False, with nothing taken, unless the last line
// (after which only one line end may follow) is the signature line with
// exactly `nSignatureBytes` bytes and nothing else on it but a final CR.
bool SplitSignedUpdateText(const std::string& strText, std::size_t nSignatureBytes, CSignedUpdateText& signedText);

#if defined(_WIN32)
enum class ESignatureCheck {
    kGenuine,      // signed with the key built into the program
    kNotGenuine,   // unsigned, malformed, cut or signed otherwise
    kCannotCheck,  // the system has no RSA and SHA-256 provider
};

// Checks `strText` against the built-in key; on kGenuine `strBody` is the
// signed part, the only part that may be read.
ESignatureCheck CheckUpdateSignature(const std::string& strText, std::string& strBody);
#endif
