// Structure dump: a file's declaration written back as declaration text, one
// line per item, for the trace log. The owner's password is never written,
// only ",OWNER(******)".
//
//   FILE,DRIVER('ASCII','/CLIP=OFF'),NAME('data.txt'),CREATE
//   KEY(Cus:Name,-Cus:Date),DUP,NOCASE,NAME('ByName')
//   MEMO(200),NAME('Notes'),BINARY
//   RECORD
//     Cus:Name STRING(@s20)
//     Cus:Amount DECIMAL(9,2), DIM(3)
//     Cus:Parts GROUP
//       Cus:Head STRING(4)
//     END
//   END
//   END
//
// Groups indent their members by two spaces. A field that starts inside an
// earlier field of its level is shown ", OVER(label)" of that field.
#pragma once
#include <string>
#include <vector>

#include "textfile/file_decl.h"

namespace varnok::textfile {

std::vector<std::string> structureDumpLines(const FileDecl& file);

// "KEY(...)" or "INDEX(...)" with the key's attributes, as in the dump.
std::string keyDeclarationText(const FileDecl& file, const KeyDecl& key);

}  // namespace varnok::textfile
