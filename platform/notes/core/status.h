// Status codes of the Notes stand-in. Zero is success; codes below 0xD0000000 are errors
// (thrown when the library is in throw-all-errors mode); 0xD000xxxx codes are warnings,
// always returned and never thrown, that tell the caller to go on in a particular way.
#pragma once
#include <cstdint>

namespace notescore {

using Status = std::uint32_t;

enum : Status {
  kOk = 0,
  kErrFileNotFound = 0x0103,
  kErrFileAccess = 0x0104,
  kErrNotADatabase = 0x0105,
  kErrUnsupportedFormat = 0x0106,
  kErrDatabaseCorrupt = 0x0107,
  kErrNoteNotFound = 0x0108,
  kErrNoteCorrupt = 0x0109,
  kErrItemNotFound = 0x010A,
  kErrItemType = 0x010B,
  kErrNotADocument = 0x010C,
  kErrViewNotFound = 0x010D,
  kErrAttachmentCorrupt = 0x010E,
  kErrAttachmentCompression = 0x010F,
  kErrWriteFailed = 0x0110,
  kErrServerNotFound = 0x0111,
  kErrServerNotResponding = 0x0112,
  kErrNoAccess = 0x0113,
  kErrNetworkDown = 0x0114,
  kErrNoNotesIni = 0x0115,
  kErrNoDataDirectory = 0x0116,
  kErrNotInitialized = 0x0117,
  kErrThreadNotInitialized = 0x0118,
  kErrNotOpen = 0x0119,
  kErrInvalidArgument = 0x011A,
  kErrBadPath = 0x011B,
  kErrUnknownExportFormat = 0x011C,
  kErrIndexRange = 0x011D,
  kErrNullObject = 0x011E,
  kErrCharacterSet = 0x011F,
  kErrBufferTooSmall = 0x0120,
  kErrCursor = 0x0121,
  kErrNoMemory = 0x0122,

  kWarnMoreText = 0xD000014F,  // the text went on beyond what one string may hold
};

inline bool IsError(Status s) { return s != kOk && (s & 0xF0000000u) != 0xD0000000u; }

// The message of a status, in plain ASCII; an unknown code gets a generic text.
const char* StatusMessage(Status s);

}  // namespace notescore
