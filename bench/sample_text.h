// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <random>
#include <string>
#include <string_view>

namespace bivano::bench {

namespace internal {

// Words drawn at random, each followed by a blank, a comma, a full stop or
// a semicolon, and now and then by a full stop and a line break.
template <std::size_t N>
std::u16string RunningText(const std::u16string_view (&words)[N], std::size_t length,
                           bool line_breaks) {
    static constexpr std::u16string_view kPunctuation[] = {u" ", u" ", u" ", u", ", u". ", u"; "};
    std::mt19937 random(1253);
    std::u16string text;
    text.reserve(length + 32);
    while (text.size() < length) {
        text += words[random() % N];
        if (line_breaks && random() % 12 == 0) {
            text += u".\r\n";
        } else {
            text += kPunctuation[random() % std::size(kPunctuation)];
        }
    }
    text.resize(length);
    return text;
}

}  // namespace internal

// Running text of about `length` code units, made of everyday Greek words
// with accents and final sigma, punctuation and a line break now and then.
inline std::u16string GreekSampleText(std::size_t length, bool line_breaks = true) {
    static constexpr std::u16string_view kWords[] = {
        u"Καλημέρα",   u"σας",       u"θάλασσα", u"ψυχή",        u"ξένος", u"λόγος", u"ώρα",
        u"Ελλάδα",     u"και",       u"το",      u"της",         u"στον",  u"είναι", u"πρωί",
        u"ταξίδι",     u"φίλους",    u"Αθήνα",   u"Θεσσαλονίκη", u"ψωμί",  u"έξω",   u"ήλιος",
        u"οικογένεια", u"ευχαριστώ", u"πολύ",    u"αύριο",       u"Ψαράς", u"Ξάνθη", u"ϊ",
        u"ΰ",          u"διάλειμμα", u"ΟΔΟΣ",    u"νερό",        u"ζωή",   u"χαρά"};
    return internal::RunningText(kWords, length, line_breaks);
}

// The same kind of text in Latin letters, with th, ps, ks, 3, 8 and short
// groups between asterisks.
inline std::u16string LatinSampleText(std::size_t length, bool line_breaks = true) {
    static constexpr std::u16string_view kWords[] = {
        u"Kalhmera",     u"sas",   u"thalassa", u"psyxh",   u"ksenos",     u"3enos",
        u"logos",        u"wra",   u"Ellada",   u"kai",     u"to",         u"ths",
        u"ston",         u"einai", u"prwi",     u"ta3idi",  u"filous",     u"A8hna",
        u"Thessalonikh", u"pswmi", u"eksw",     u"hlios",   u"oikogeneia", u"euxaristw",
        u"poly",         u"aurio", u"*e-mail*", u"*Linux*", u"8alassa",    u"nero",
        u"zwh",          u"xara",  u"ODOS",     u"cyxh"};
    return internal::RunningText(kWords, length, line_breaks);
}

}  // namespace bivano::bench
