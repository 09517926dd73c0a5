// Writes the fuzz seed corpus from stores this library makes: the blank templates and a
// small store of each layout with folders, contacts, named properties and attachments.
#include <fstream>
#include <iostream>

#include "pst/pst.hpp"

using namespace pst;

int main(int argc, char** argv) {
    if (argc != 2) { std::cerr << "usage: pst_fuzz_seeds DIR\n"; return 2; }
    const std::string dir = argv[1];
    try {
        for (Format format : {Format::Unicode, Format::Ansi}) {
            const std::string tag = format == Format::Unicode ? "unicode" : "ansi";
            std::ofstream(dir + "/blank-" + tag + ".pst", std::ios::binary) << blankStoreBytes(format);
            const std::string path = dir + "/small-" + tag + ".pst";
            {
                auto store = Store::create(path, format, "Seed");
                Folder f = store->ipmSubtree().createSubfolder("Contacts", "IPF.Contact");
                for (int i = 0; i < 4; ++i) {
                    Message m = f.createMessage("IPM.Contact");
                    m.setString(tags::Subject, "Seed " + std::to_string(i));
                    m.set(NamedProperty::id(guids::PSETID_Address, 0x8083), PT_UNICODE, Value::string("s@x.org"));
                    m.set(NamedProperty::named(guids::PS_PUBLIC_STRINGS, "Keywords"), PT_MV_UNICODE, Value::strings({"K"}));
                    m.setBody(std::string(size_t(i) * 3000, 'b'));
                    if (i == 1) m.setRtf("{\\rtf1 seed}");
                    if (i == 2) m.addAttachment({"A.TXT", "a.txt", "", std::string(9000, 'a'), -1});
                    m.save();
                }
            }
        }
    } catch (const Error& e) {
        std::cerr << "pst_fuzz_seeds: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
