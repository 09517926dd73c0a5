// Where the text puts on a contact item land: MAPI properties, named properties of the
// address property set, and the categories keyword list.
#pragma once

#include <windows.h>

#include <string>

#include "pst/pst.hpp"

namespace rdo {

// Applies the put with dispatch identifier id to the message. An empty text removes what
// the put would have set. FALSE when id is no text field of a contact.
bool PutContactField(pst::Store& store, pst::Message& msg, DISPID id, const std::string& utf8);

// Fills properties that readers derive from the others (file-as name) when the caller
// left them unset; called before each save.
void CompleteContact(pst::Message& msg);

}  // namespace rdo
