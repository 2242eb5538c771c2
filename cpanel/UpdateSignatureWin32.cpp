#include "UpdateSignature.h"

#include "CryptoProvider.h"
#include "UpdateKey.h"

ESignatureCheck CheckUpdateSignature(const std::string& strText, std::string& strBody)
{
    strBody.clear();
    const CCryptoProvider provider;
    {
        const CSha256Hash probe(provider);
        if (!probe.IsUsable())
            return ESignatureCheck::kCannotCheck;
    }
    CSignedUpdateText signedText;
    if (!SplitSignedUpdateText(strText, (sizeof kUpdateKeyModulus - 1) / 2, signedText))
        return ESignatureCheck::kNotGenuine;
    const std::string strSignature(signedText.arrSignature.begin(), signedText.arrSignature.end());
    if (!VerifyRsaSha256(provider, kUpdateKeyModulus, kUpdateKeyExponent, signedText.strSigned, strSignature))
        return ESignatureCheck::kNotGenuine;
    strBody = signedText.strSigned;
    return ESignatureCheck::kGenuine;
}
