#pragma once
// Language keys of the certification window and the QR window. In these windows a
// text control's name is also the key of its text.
#include <array>

#include "platform/text.h"

namespace tarvo::SignAndQrLanguageKeys {

inline constexpr std::array<WStringView, 5> kSignTexts = {
    u"protectsign/auth/title", u"protectsign/sign/title", u"protectsign/sign/code_title",
    u"protectsign/guar/title", u"protectsign/guar/desc",
};
inline constexpr WStringView kAuthInfoBegin = u"protectsign/auth/info_begin";
inline constexpr WStringView kAuthInfoEnd = u"protectsign/auth/info_end";

inline constexpr std::array<WStringView, 2> kQrTexts = {u"qrcodewnd/qrcode", u"qrcodewnd/scan"};
inline constexpr WStringView kQrTooLong = u"qrcodewnd/too_long";
inline constexpr WStringView kQrEncodeFailed = u"qrcodewnd/encode_failed";
inline constexpr WStringView kQrWriteFailed = u"qrcodewnd/write_failed";

}  // namespace tarvo::SignAndQrLanguageKeys
