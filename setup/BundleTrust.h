#pragma once
// Whether setup.exe may read the installation set from its own file. The
// running image is what Windows started (and, for a signed program, what
// the elevation prompt vouched for); the file is only trusted as far as it
// shows itself to be that image. A program that claims a bundle, by its
// mark or by a signature, never falls back to the folder it lies in.
#include <cstdint>

#include "archive/BundleDirectory.h"

enum class SetOrigin { Folder, Bundle, DamagedBundle };

// What the setup found out about its own image and its file, in this order;
// a later finding is only consulted when the earlier ones let it matter.
struct OwnFileFindings {
    bool marked = false;         // the image carries a bundle mark
    uint32_t markedCrc = 0;      // the bundle directory's CRC-32 it names
    bool signedImage = false;    // the image's headers point at a certificate table
    bool opened = false;         // the file was opened so that nobody may change, rename or delete it
    bool sameHeaders = false;    // the file's headers are the image's
    bool signatureSound = false;  // the file's signature holds (only looked at when signed)
    BundleState bundle = BundleState::None;
    uint32_t directoryCrc = 0;   // of the bundle found in the file
    bool entriesSound = false;   // every bundled file's CRC-32 matched
};

SetOrigin JudgeOwnFile(const OwnFileFindings& findings);

// WinVerifyTrust's verdict on a signed setup.exe, taken as: the bytes are
// the ones that were signed (true), or not, or cannot be told (false). Whom
// the certificate belongs to, and whether its chain is trusted, expired or
// revoked, is for Windows to show at the elevation prompt before the setup
// runs; those verdicts alone do not refuse the file.
bool SignatureStatusAccepted(int32_t status);
