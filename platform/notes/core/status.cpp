#include "status.h"

namespace notescore {

const char* StatusMessage(Status s) {
  switch (s) {
    case kOk: return "No error";
    case kErrFileNotFound: return "File does not exist";
    case kErrFileAccess: return "Cannot open the file: access is denied or the file is in use";
    case kErrNotADatabase: return "File is not a Notes database";
    case kErrUnsupportedFormat: return "Database is in a format this release of Notes cannot read";
    case kErrDatabaseCorrupt: return "Database is damaged and cannot be opened";
    case kErrNoteNotFound: return "Invalid or nonexistent document";
    case kErrNoteCorrupt: return "Document is damaged and cannot be read";
    case kErrItemNotFound: return "Note item not found";
    case kErrItemType: return "Item is not of the requested type";
    case kErrNotADocument: return "This view entry is not a document";
    case kErrViewNotFound: return "View or folder not found";
    case kErrAttachmentCorrupt: return "Attachment is damaged";
    case kErrAttachmentCompression: return "Attachment is compressed in a form this release cannot expand";
    case kErrWriteFailed: return "Cannot write the file";
    case kErrServerNotFound: return "Unable to find path to server";
    case kErrServerNotResponding: return "Server not responding";
    case kErrNoAccess: return "You are not authorized to access that database";
    case kErrNetworkDown: return "The network is not available";
    case kErrNoNotesIni: return "Unable to find the Notes initialization file (notes.ini)";
    case kErrNoDataDirectory: return "The Notes data directory does not exist";
    case kErrNotInitialized: return "Notes is not initialized";
    case kErrThreadNotInitialized: return "Notes is not initialized on this thread";
    case kErrNotOpen: return "The database, view or document is not open";
    case kErrInvalidArgument: return "Invalid argument";
    case kErrBadPath: return "Invalid file name";
    case kErrUnknownExportFormat: return "Unknown export format";
    case kErrIndexRange: return "Index is out of range";
    case kErrNullObject: return "The object has not been set up";
    case kErrCharacterSet: return "Unsupported character set";
    case kErrBufferTooSmall: return "The buffer is too small for the result";
    case kErrCursor: return "The rich text position is not valid for this item";
    case kErrNoMemory: return "Insufficient memory";
    case kWarnMoreText: return "There is more text than one string can hold";
    default: return "Unknown Notes error";
  }
}

}  // namespace notescore
