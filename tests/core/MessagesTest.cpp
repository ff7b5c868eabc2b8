#include "core/Messages.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <optional>
#include <set>
#include <string>

namespace {

using veltrim::Language;
using veltrim::Message;
using veltrim::MessageId;

std::set<std::string> Placeholders(std::string_view text) {
    std::set<std::string> found;
    for (std::size_t i = 0; i + 2 < text.size(); ++i)
        if (text[i] == '{' && text[i + 1] >= '1' && text[i + 1] <= '9' && text[i + 2] == '}')
            found.insert(std::string(text.substr(i, 3)));
    return found;
}

// Both tables hold every message once, in the order of the ids, and the two
// wordings of a message name the same values. Texts the program shows in
// its own words must not come out in the other language: a Japanese wording
// holds Japanese characters, an English one none (the depth-dose failure's
// first line, a system text the same in both).
TEST(MessageTables, EveryMessageHasAnEnglishAndAJapaneseWordingNamingTheSameValues) {
    const auto english = veltrim::MessageTable(Language::English);
    const auto japanese = veltrim::MessageTable(Language::Japanese);
    const auto count = static_cast<std::size_t>(MessageId::Count);
    ASSERT_EQ(english.size(), count);
    ASSERT_EQ(japanese.size(), count);
    const auto hasNonAscii = [](std::string_view t) {
        return std::ranges::any_of(t,
                                   [](char ch) { return static_cast<unsigned char>(ch) >= 0x80; });
    };
    // Wordings that are nothing but a value passed through, or that are fixed
    // in both editions.
    const std::set<MessageId> sameInBoth = {MessageId::DepthDoseFailed,  MessageId::CauseKernelFile,
                                            MessageId::CauseWorkingFile, MessageId::CauseUnexpected,
                                            MessageId::SaveOther,        MessageId::StudyRefused,
                                            MessageId::RecordProblemLine};
    for (std::size_t i = 0; i < count; ++i) {
        const auto id = static_cast<MessageId>(i);
        ASSERT_EQ(english[i].Id, id) << "English entry " << i << " is out of order";
        ASSERT_EQ(japanese[i].Id, id) << "Japanese entry " << i << " is out of order";
        EXPECT_FALSE(english[i].Text.empty()) << i;
        EXPECT_FALSE(japanese[i].Text.empty()) << i;
        EXPECT_EQ(Placeholders(english[i].Text), Placeholders(japanese[i].Text))
            << english[i].Text << " / " << japanese[i].Text;
        if (sameInBoth.contains(id))
            continue;
        EXPECT_FALSE(hasNonAscii(english[i].Text)) << english[i].Text;
        EXPECT_TRUE(hasNonAscii(japanese[i].Text)) << japanese[i].Text;
    }
}

TEST(Message, FillsItsValuesAndNestedMessagesInTheSameLanguage) {
    const Message inner(MessageId::DataFileEndsEarly, {veltrim::Arg(3)});
    const Message outer(MessageId::DataFile, {veltrim::Arg("ICRUSoft.dat"), veltrim::Arg(inner)});
    EXPECT_EQ(outer.In(Language::English),
              "Data file \"ICRUSoft.dat\": ends after 3 numbers; more were expected.");
    EXPECT_EQ(
        outer.In(Language::Japanese),
        "データファイル「ICRUSoft.dat」は 3 個の数値で終わっています。さらに数値が必要です。");
    // A value that itself looks like a placeholder is not filled again.
    EXPECT_EQ(veltrim::Text(Language::English, MessageId::SaveOther, {"{1} {2}"}), "{1} {2}");
}

// What the dose record's module sends back: the same message in either
// language, whatever bytes its values hold; bytes that are not one whole
// message of this build are none, never a message read past their end.
TEST(Message, EncodedReadsBackWholeAndDamagedBytesAreNoMessage) {
    const Message inner(MessageId::DataFileEndsEarly, {veltrim::Arg(3)});
    const Message outer(MessageId::DataFile,
                        {veltrim::Arg(std::string("P3:\0M1:{1}", 10)), veltrim::Arg(inner)});
    const std::string bytes = veltrim::EncodedMessage(outer);
    const std::optional<Message> back = veltrim::DecodedMessage(bytes);
    ASSERT_TRUE(back);
    for (const Language language : {Language::English, Language::Japanese})
        EXPECT_EQ(back->In(language), outer.In(language));
    for (std::size_t cut = 0; cut < bytes.size(); ++cut)
        EXPECT_FALSE(veltrim::DecodedMessage(bytes.substr(0, cut))) << cut;
    EXPECT_FALSE(veltrim::DecodedMessage(bytes + "x"));
    const std::string past = "M" + std::to_string(static_cast<int>(MessageId::Count)) + ":0:";
    for (const std::string& bad : {past, std::string("M0:1:P99:ab"), std::string("plain text")})
        EXPECT_FALSE(veltrim::DecodedMessage(bad)) << bad;
}

} // namespace
