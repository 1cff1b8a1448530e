// Icons by the names windows and lists use.
//
//   "~boxoff.ico", "~boxon.ico"   an empty and a ticked check box, drawn here
//                                 so they look alike at every size
//   "varnok.ico", "~varnok.ico"   the program's icon (resources/varnok.svg,
//                                 shipped as a 48-pixel rendering)
//   "\xFF\x01" + number           a stock icon: the desktop style's question,
//                                 exclamation, information and stop icons
//   "~name.ico"                   resources/name.png when there is one
//
// Any other name gives a null icon (nothing is drawn).
#pragma once
#include <QIcon>
#include <QPixmap>
#include <string_view>

namespace varnok::window::qt {

QIcon namedIcon(std::string_view name);
QIcon checkBoxIcon(bool ticked);
QPixmap checkBoxPixmap(bool ticked, int size);
QIcon programIcon();

// The stock icon resource number of a four-byte code ("\xFF\x01\x03\x7F" is
// 32514, the question mark); -1 when the text is not such a code.
int stockIconNumber(std::string_view code);

inline constexpr int StockApplication = 32512;
inline constexpr int StockHand = 32513;
inline constexpr int StockQuestion = 32514;
inline constexpr int StockExclamation = 32515;
inline constexpr int StockAsterisk = 32516;

}  // namespace varnok::window::qt
