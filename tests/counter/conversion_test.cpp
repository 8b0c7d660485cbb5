// SPDX-License-Identifier: GPL-3.0-or-later
#include "counter/date_time_text.h"
#include "counter/int_conversion.h"
#include "platform/failure.h"

#include <cerrno>
#include <clocale>
#include <gtest/gtest.h>
#include <limits>

namespace {

constexpr auto kMin = std::numeric_limits<std::int32_t>::min();
constexpr auto kMax = std::numeric_limits<std::int32_t>::max();

TEST(StrToInt, AcceptsBlanksSignAndBothBases) {
    const std::pair<const char*, std::int32_t> cases[] = {{"0", 0},
                                                          {" 20", 20},
                                                          {"+20", 20},
                                                          {"-7", -7},
                                                          {"2147483647", kMax},
                                                          {"-2147483648", kMin},
                                                          {"$7FFFFFFF", kMax},
                                                          {"0x1f", 31},
                                                          {"0X1F", 31},
                                                          {"-$80000000", kMin},
                                                          {"   -0", 0},
                                                          {"007", 7}};
    for (const auto& [text, value] : cases) {
        EXPECT_EQ(StrToInt(text), value) << text;
    }
}

TEST(StrToInt, RefusesEverythingElseWithTheTextInItsMessage) {
    for (const char* text : {"", " ", "5 ", "2147483648", "-2147483649", "$80000000", "0x", "$",
                             "+-1", "1.5", "\t5", "1e3", "x10", "--1", "٣"}) {
        try {
            StrToInt(QString::fromUtf8(text));
            ADD_FAILURE() << "accepted " << text;
        } catch (const platform::ConversionError& error) {
            // A control character is shown escaped.
            const std::string shown = text == std::string("\t5") ? "\\x095" : text;
            EXPECT_EQ(error.what(), "'" + shown + "' n'est pas une valeur entière correcte");
        }
    }
}

TEST(CheckedArithmetic, OverflowIsAnError) {
    EXPECT_EQ(CheckedAdd(kMax - 1, 1), kMax);
    EXPECT_THROW(CheckedAdd(kMax, 1), platform::OverflowError);
    EXPECT_THROW(CheckedAdd(kMin, -1), platform::OverflowError);
    EXPECT_THROW(CheckedMul(65536, 32768), platform::OverflowError);
    try {
        CheckedAdd(kMax, kMax);
        ADD_FAILURE() << "no overflow";
    } catch (const platform::Failure& error) {
        EXPECT_STREQ(error.what(), "Débordement d'entier");
    }
}

TEST(IoErrors, MessagesFollowTheErrorNumber) {
    const std::pair<int, const char*> byCode[] = {{2, "Fichier introuvable"},
                                                  {3, "Nom de fichier incorrect"},
                                                  {4, "Trop de fichiers ouverts"},
                                                  {5, "Accès au fichier refusé"},
                                                  {100, "Lecture au-delà de la fin de fichier"},
                                                  {101, "Disque plein"},
                                                  {106, "Saisie numérique incorrecte"},
                                                  {32, "Erreur E/S 32"}};
    for (const auto& [code, message] : byCode) {
        EXPECT_EQ(platform::IoError(code).what(), std::string(message));
    }
    const std::pair<int, const char*> bySystem[] = {{ENOENT, "Fichier introuvable"},
                                                    {EACCES, "Accès au fichier refusé"},
                                                    {EROFS, "Accès au fichier refusé"},
                                                    {ENOSPC, "Disque plein"},
                                                    {EMFILE, "Trop de fichiers ouverts"},
                                                    {ENAMETOOLONG, "Nom de fichier incorrect"},
                                                    {EIO, "Erreur E/S 5"}};
    for (const auto& [error, message] : bySystem) {
        EXPECT_EQ(platform::IoError::fromErrno(error).what(), std::string(message));
    }
}

TEST(DateTimeText, ShortDateBlankLongTimeAndNoTimeAtMidnight) {
    if (std::setlocale(LC_TIME, "fr_FR.UTF-8") == nullptr) {
        GTEST_SKIP() << "no fr_FR.UTF-8 locale";
    }
    EXPECT_EQ(DateTimeText({{2003, 3, 5}, {14, 7, 9}}), "05/03/2003 14:07:09");
    EXPECT_EQ(DateTimeText({{2003, 3, 5}, {0, 0, 0}}), "05/03/2003");
    EXPECT_EQ(DateTimeText({{2026, 12, 31}, {0, 0, 1}}), "31/12/2026 00:00:01");
    std::setlocale(LC_TIME, "C");
}

} // namespace
