// Whether a program is signed, and whether its signature still covers it. A maker signs the setup
// after building it; anything that changes the file afterwards (building again into it, a tool
// that patches resources, bytes appended) leaves a signature Windows rejects, and the user sees
// an unknown publisher or a warning of a damaged program. Portable: lint runs on both systems.
//
// Windows hashes the file minus three parts: the checksum field, the certificate table's entry
// in the data directories, and the certificate table itself, which the signature is appended
// as. The digest the signer took sits inside the PKCS#7 signed data; when the file's digest is
// the same, the signature covers the file. Whether the signature itself is sound (made by the
// certificate it carries, the certificate trusted) is for the signing tools and Windows to say.
#pragma once

#include <cstdint>
#include <span>

#include "platform/text.h"

enum class TSignatureStatus {
  Unsigned,
  // Signed, and the file's digest is the one the signature holds.
  Covers,
  // Signed, but the file changed since, or the signature is damaged; Problem says how.
  NoLongerCovers,
  // Signed with a digest algorithm this check does not compute; Problem names it.
  NotChecked,
};

struct TProgramSignature {
  TSignatureStatus Status = TSignatureStatus::Unsigned;
  String Problem;
};

// Reads the signature of a Windows program (PE32 or PE32+). Raises EPeImageError when Image is
// no such program; every offset is checked, so a damaged or hostile file is reported, never read
// beyond.
TProgramSignature CheckProgramSignature(std::span<const uint8_t> image);
