// Icons by name, as window structures and lists name them: a four-byte
// stock icon code (window/message_box.h) is the system's icon of that kind;
// "~name.ico" is the icon resource NAME (upper case, without ".ico") of the
// program's module. The list's check boxes ("~boxon.ico", "~boxoff.ico")
// come from the resources BOXON and BOXOFF, and are drawn here when the
// module has none.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <string_view>
#include <vector>

namespace varnok::window::win32 {

// The stock icon's resource number of a four-byte code; -1 for any other text.
int stockIconNumber(std::string_view code);
// The resource name an "~name.ico" refers to ("BOXON"); empty for other texts.
std::wstring iconResourceName(std::string_view name);

// A shared icon (never destroyed by the caller); nullptr for an unknown name.
HICON namedIcon(std::string_view name, int size);
// The drawn check box, ticked or not (shared, 16 x 16).
HICON drawnCheckBox(bool ticked);

// An image list (the caller destroys it) of one image per name, each
// `width` x `height` pixels with the icon centred; an unknown name leaves
// its image empty. Image i is names[i].
HIMAGELIST buildIconList(const std::vector<std::string>& names, int width, int height);

}  // namespace varnok::window::win32
