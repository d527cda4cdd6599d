#include <gtest/gtest.h>

#include "setup/BundleTrust.h"

namespace {

OwnFileFindings Sound(bool marked, bool signedImage) {
    OwnFileFindings f;
    f.marked = marked;
    f.markedCrc = 0x1234;
    f.signedImage = signedImage;
    f.opened = true;
    f.sameHeaders = true;
    f.signatureSound = signedImage;
    f.bundle = marked ? BundleState::Intact : BundleState::None;
    f.directoryCrc = marked ? 0x1234 : 0;
    f.entriesSound = marked;
    return f;
}

// Each row spoils one finding of a sound program of its kind.
TEST(BundleTrust, AClaimedBundleIsReadFromItsOwnFileOrRefused) {
    struct Row {
        const char* what;
        bool marked, signedImage;
        void (*spoil)(OwnFileFindings&);
        SetOrigin expected;
    } rows[] = {
        {"plain folder set", false, false, [](OwnFileFindings&) {}, SetOrigin::Folder},
        {"signed folder set", false, true, [](OwnFileFindings&) {}, SetOrigin::Folder},
        {"bundle", true, false, [](OwnFileFindings&) {}, SetOrigin::Bundle},
        {"signed bundle", true, true, [](OwnFileFindings&) {}, SetOrigin::Bundle},
        {"folder set, file not opened", false, false, [](OwnFileFindings& f) { f.opened = false; }, SetOrigin::Folder},
        {"folder set, another file", false, false, [](OwnFileFindings& f) { f.sameHeaders = false; },
         SetOrigin::Folder},
        {"folder set, a bundle it does not know", false, false,
         [](OwnFileFindings& f) { f.bundle = BundleState::Intact; }, SetOrigin::DamagedBundle},
        {"signed folder set, not opened", false, true, [](OwnFileFindings& f) { f.opened = false; },
         SetOrigin::DamagedBundle},
        {"signed folder set, bad signature", false, true, [](OwnFileFindings& f) { f.signatureSound = false; },
         SetOrigin::DamagedBundle},
        {"bundle, not opened", true, false, [](OwnFileFindings& f) { f.opened = false; }, SetOrigin::DamagedBundle},
        {"bundle, another file", true, false, [](OwnFileFindings& f) { f.sameHeaders = false; },
         SetOrigin::DamagedBundle},
        {"bundle, none in the file", true, false, [](OwnFileFindings& f) { f.bundle = BundleState::None; },
         SetOrigin::DamagedBundle},
        {"bundle, damaged directory", true, false, [](OwnFileFindings& f) { f.bundle = BundleState::Damaged; },
         SetOrigin::DamagedBundle},
        {"bundle, another directory", true, false, [](OwnFileFindings& f) { f.directoryCrc = 0x4321; },
         SetOrigin::DamagedBundle},
        {"bundle, damaged file", true, false, [](OwnFileFindings& f) { f.entriesSound = false; },
         SetOrigin::DamagedBundle},
        {"signed bundle, bad signature", true, true, [](OwnFileFindings& f) { f.signatureSound = false; },
         SetOrigin::DamagedBundle},
        {"signed bundle, another file", true, true, [](OwnFileFindings& f) { f.sameHeaders = false; },
         SetOrigin::DamagedBundle},
    };
    for (const Row& row : rows) {
        OwnFileFindings findings = Sound(row.marked, row.signedImage);
        row.spoil(findings);
        EXPECT_EQ(JudgeOwnFile(findings), row.expected) << row.what;
    }
}

TEST(BundleTrust, OnlyVerdictsOnTheCertificateLeaveASignatureStanding) {
    EXPECT_TRUE(SignatureStatusAccepted(0));
    for (uint32_t certificate : {0x800B0101u, 0x800B0109u, 0x800B010Au, 0x800B010Du, 0x800B0112u})
        EXPECT_TRUE(SignatureStatusAccepted(static_cast<int32_t>(certificate))) << std::hex << certificate;
    // Changed bytes, no or a broken signature, a revoked or distrusted
    // certificate, no way to check.
    for (uint32_t refused : {0x80096010u, 0x800B0100u, 0x800B010Cu, 0x800B0111u, 0x800B0003u, 0x800B0001u,
                             0x80092009u, 0x80004005u})
        EXPECT_FALSE(SignatureStatusAccepted(static_cast<int32_t>(refused))) << std::hex << refused;
}

}  // namespace
