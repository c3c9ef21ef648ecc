#pragma once

// Small capitals made from capitals, for faces without their own.

namespace Gdiplus {

// Size of a made-up small capital, in ems of the text.
constexpr float kSmallCapScale = 0.7f;

// The capital of a lowercase letter (Latin, Greek, Cyrillic, Armenian), or 0
// for any other character.
char32_t CapitalOf(char32_t c);

} // namespace Gdiplus
