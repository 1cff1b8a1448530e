// Collating tables: 256 ranks, one per character code; texts compare rank by
// rank. Every table built here is a permutation of 0..255, so two different
// characters never compare equal.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace varnok {

// Every character ranks as its own code.
void identityCollation(uint8_t table[256]);
// The characters of the sequence are ranked among themselves in the order
// given: they share out the ranks their own codes had, in sequence order.
// Characters not in the sequence keep their rank; a repeated character
// counts where it first appears.
void collationFromSequence(std::string_view sequence, uint8_t table[256]);
// The characters 2 to 254 in the order a Windows string comparison sorts
// them in Windows-1252: control codes, then punctuation and signs by code,
// then digits (with the superscripts after their digit), then letters
// alphabetically, the plain letter before its accented forms and the lower
// case before the upper case of each form; letters without a Latin base
// letter come last.
std::string windowsCollatingSequence();

}  // namespace varnok
