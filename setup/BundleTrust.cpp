#include "setup/BundleTrust.h"

SetOrigin JudgeOwnFile(const OwnFileFindings& f) {
    bool claimed = f.marked || f.signedImage;
    if (!f.opened || !f.sameHeaders) return claimed ? SetOrigin::DamagedBundle : SetOrigin::Folder;
    if (f.signedImage && !f.signatureSound) return SetOrigin::DamagedBundle;
    // A bundle the image does not know of is none of its own.
    if (!f.marked) return f.bundle == BundleState::None ? SetOrigin::Folder : SetOrigin::DamagedBundle;
    if (f.bundle != BundleState::Intact || f.directoryCrc != f.markedCrc || !f.entriesSound)
        return SetOrigin::DamagedBundle;
    return SetOrigin::Bundle;
}

namespace {

// WinVerifyTrust results about the certificate, not about the signed bytes.
constexpr uint32_t kCertificateVerdicts[] = {
    0x800B0101u,  // CERT_E_EXPIRED
    0x800B0109u,  // CERT_E_UNTRUSTEDROOT
    0x800B010Au,  // CERT_E_CHAINING
    0x800B010Du,  // CERT_E_UNTRUSTEDTESTROOT
    0x800B0112u,  // CERT_E_UNTRUSTEDCA
};

}  // namespace

bool SignatureStatusAccepted(int32_t status) {
    if (status == 0) return true;
    for (uint32_t verdict : kCertificateVerdicts)
        if (static_cast<uint32_t>(status) == verdict) return true;
    return false;  // TRUST_E_BAD_DIGEST, TRUST_E_NOSIGNATURE, CERT_E_REVOKED, TRUST_E_EXPLICIT_DISTRUST, ...
}
