#pragma once
// The button layout of one cell of the current pad, and its derivation from
// the pad's five button settings.
#include <array>
#include <cstdint>
#include <string_view>

namespace pelmora {

// Fifteen signed 32-bit fields. The three colours hold 32-bit colour values
// (0x00BBGGRR, or a system colour reference with the top bit set) stored as
// signed numbers; cast them to TColor to use them.
struct TPadInfo {
    std::int32_t BtnWidth = 0;
    std::int32_t BtnHeight = 0;
    std::int32_t BtnCaption = 0;   // 0 no name, 1 below the icon, other: right of it
    std::int32_t BtnSmallIcon = 0; // nonzero: 16-pixel icons, 0: 32-pixel icons
    std::int32_t BtnColor = 0;
    std::int32_t IconLeft = 0;
    std::int32_t IconTop = 0;
    std::int32_t IconWidth = 0;
    std::int32_t IconHeight = 0;
    std::int32_t NameLeft = 0;
    std::int32_t NameTop = 0;
    std::int32_t NameWidth = 0;
    std::int32_t NameHeight = 0;
    std::int32_t FrameLight = 0;
    std::int32_t FrameShadow = 0;

    bool operator==(const TPadInfo&) const = default;
};

// The pad settings the layout is made from, as the host gives them. A value the
// host does not give, or one that is not integer text, is 1.
struct PadValues {
    std::int32_t BtnWidth = 1;
    std::int32_t BtnHeight = 1;
    std::int32_t BtnCaption = 1;
    std::int32_t BtnSmallIcon = 1;
    std::int32_t BtnColor = 1;
};

// The host keys of the five values, in the order they are asked for.
inline constexpr std::array<std::string_view, 5> kPadValueKeys = {
    "BtnWidth", "BtnHeight", "BtnCaption", "BtnSmallIcon", "BtnColor"};

// One pad value from the host's text: integer text, 1 when it is not one.
std::int32_t PadValueFromText(std::string_view text);

// The icon and name areas and the frame colours for a pad, with `nameHeight`
// the pixel height of a line of the button-name font. Results that would leave
// the 32-bit range (only possible for absurd pad values) saturate at its ends.
TPadInfo DerivePadInfo(const PadValues& values, std::int32_t nameHeight);
// The same with the name height measured on this platform (MeasureNameHeight),
// which is only asked for when the pad shows names.
TPadInfo DerivePadInfo(const PadValues& values);

} // namespace pelmora
