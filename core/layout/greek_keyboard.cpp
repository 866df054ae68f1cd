// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/layout/greek_keyboard.h"

namespace bivano::layout {

std::u16string TypeOnGreekLayout(std::u16string_view keys) {
    std::u16string out;
    out.reserve(keys.size());
    AppendTypedOnGreekLayout(keys, out);
    return out;
}

void AppendTypedOnGreekLayout(std::u16string_view keys, std::u16string& out) {
    // Each key gives one character at most: written in place, then cut to
    // what was written.
    const std::size_t start = out.size();
    out.resize(start + keys.size());
    char16_t* const first = out.data() + start;
    out.resize(start + static_cast<std::size_t>(TypeOnGreekLayoutInto(keys, first) - first));
}

char16_t* TypeOnGreekLayoutInto(std::u16string_view keys, char16_t* write) {
    const std::size_t size = keys.size();
    std::size_t at = 0;
    bool acute = false;
    bool diaeresis = false;
    while (at < size) {
        if (!acute && !diaeresis) {
            // Most keys have no dead key before them: one after another.
            char16_t key = keys[at];
            while (key != kAcuteKey && key != kDiaeresisKey) {
                const char16_t greek = GreekOfKey(key);
                *write++ = greek != 0 ? greek : key;
                if (++at == size) {
                    return write;
                }
                key = keys[at];
            }
            acute = key == kAcuteKey;
            diaeresis = !acute;
            ++at;
            continue;
        }
        // A dead key waits for the next key.
        const char16_t key = keys[at++];
        const bool dead_acute = key == kAcuteKey;
        const bool dead_diaeresis = key == kDiaeresisKey;
        const bool pending_both = acute && diaeresis;
        if (dead_acute || dead_diaeresis) {
            if (!pending_both && dead_acute == acute) {
                *write++ = acute ? kSpacingAcute : kSpacingDiaeresis;  // the same twice
                acute = diaeresis = false;
            } else if (!pending_both) {
                acute = diaeresis = true;
            } else {
                acute = diaeresis = false;  // a third dead key: nothing
            }
            continue;
        }
        if (key == u' ') {
            *write++ = pending_both ? kSpacingAcuteDiaeresis
                       : acute      ? kSpacingAcute
                                    : kSpacingDiaeresis;
        } else if (const char16_t greek = GreekOfKey(key); greek != 0) {
            if (const char16_t marked = WithDeadKeys(greek, acute, diaeresis); marked != 0) {
                *write++ = marked;
            }
        }
        acute = diaeresis = false;
    }
    return write;
}

std::u16string KeysTypedFor(std::u16string_view greek) {
    std::u16string out;
    out.reserve(greek.size() + greek.size() / 4);
    for (const char16_t c : greek) {
        if (const char key = LatinKeyOf(c); key != '\0') {
            out.push_back(static_cast<char16_t>(key));
            continue;
        }
        switch (c) {
            case kSpacingAcute:
                out.append(u"; ");
                continue;
            case kSpacingDiaeresis:
                out.append(u": ");
                continue;
            case kSpacingAcuteDiaeresis:
                out.append(u":; ");
                continue;
            default:
                break;
        }
        bool found = false;
        for (const DeadKeyLetters& letters : kDeadKeyLetters) {
            if (c == 0) {
                break;  // the table's 0 stands for no letter
            }
            const char key = LatinKeyOf(letters.plain);
            if (c == letters.acute) {
                out.push_back(u';');
            } else if (c == letters.diaeresis) {
                out.push_back(u':');
            } else if (c == letters.both) {
                out.append(u":;");
            } else {
                continue;
            }
            out.push_back(static_cast<char16_t>(key));
            found = true;
            break;
        }
        if (!found) {
            out.push_back(c);
        }
    }
    return out;
}

}  // namespace bivano::layout
