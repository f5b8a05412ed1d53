#include "text/utf.h"
#include "ui/layout.h"
#include "ui/mail_line.h"
#include "ui/viewer_text.h"

#include <gtest/gtest.h>

#include <random>

namespace venmarra::ui {
namespace {

// Everything of `text` as the box takes it, a slice at a time.
std::vector<ViewerText::Slice> allSlices(const std::u16string &text, std::size_t sliceLength)
{
    ViewerText viewer(text::utf8FromUtf16(text));
    std::vector<ViewerText::Slice> slices;
    while (!viewer.atEnd())
        slices.push_back(viewer.next(sliceLength, u"\r"));
    return slices;
}

TEST(ViewerText, longLinesAreHeldInBlocksThatCopyingTakesOutAgain)
{
    std::u16string words;
    while (words.size() < 50000)
        words += u"word" + std::u16string(words.size() % 7, u'w') + u' ';
    const std::u16string mail = u"short line\r\n" + words + u"\n" + std::u16string(30000, u'邮') + u"\n\n"
        + std::u16string(20000, u'x') + u"\ttail\u2029end";
    const std::u16string expected = u"short line\n" + words + u"\n" + std::u16string(30000, u'邮') + u"\n\n"
        + std::u16string(20000, u'x') + u"\ttail\nend";
    for (const std::size_t sliceLength :
         {static_cast<std::size_t>(16 * 1024), static_cast<std::size_t>(1) << 20}) {
        SCOPED_TRACE(sliceLength);
        std::u16string shown;
        std::vector<std::size_t> ownBreaks;
        for (const ViewerText::Slice &slice : allSlices(mail, sliceLength)) {
            EXPECT_LE(slice.text.size(), sliceLength + 2 * ViewerText::kBlockLength);
            for (const std::size_t own : slice.ownBreaks) {
                EXPECT_EQ(slice.text[own], u'\r');
                ownBreaks.push_back(shown.size() + own);
            }
            shown += slice.text;
        }
        std::size_t blockStart = 0;
        for (std::size_t at = 0; at <= shown.size(); ++at) {
            if (at == shown.size() || shown[at] == u'\r') {
                EXPECT_LE(at - blockStart, 2 * ViewerText::kBlockLength) << "a block at " << blockStart;
                blockStart = at + 1;
            }
        }
        EXPECT_GE(ownBreaks.size(), 20u);
        EXPECT_EQ(mailTextOf(shown, u"\r", ownBreaks, u"\n"), expected);
        // A part from inside the line of words, across the box's own breaks, to the end.
        std::vector<std::size_t> fromThere;
        for (const std::size_t own : ownBreaks)
            if (own >= 20)
                fromThere.push_back(own - 20);
        std::u16string copied;
        for (const char16_t c : expected.substr(20))
            copied += c == u'\n' ? std::u16string(u"\r\n") : std::u16string(1, c);
        EXPECT_EQ(mailTextOf(std::u16string_view(shown).substr(20), u"\r", fromThere, u"\r\n"), copied);
    }
}

TEST(ViewerText, rowsThatTheBoxMeasuresBreakWhereALineMayBreak)
{
    const struct {
        std::u16string_view line;
        std::size_t fit;
        std::u16string_view shown;  // the rows, each of the box's own breaks "|"
    } cases[] = {
        {u"alpha beta gamma", 8, u"alpha |beta |gamma"},
        {u"alpha   beta", 6, u"alpha   |beta"},  // a row keeps the spaces after its last word
        {u"邮件内容没有空格 end", 3, u"邮件内|容没有|空格 |end"},
        {u"abcdefghij", 4, u"abcd|efgh|ij"},  // a word longer than a row
        {u"ab😀cd", 3, u"ab😀|cd"},  // never inside a character
    };
    for (const auto &c : cases) {
        ViewerText viewer(text::utf8FromUtf16(c.line), [&](std::u16string_view) { return c.fit; });
        EXPECT_EQ(viewer.next(1000, u"|").text, c.shown);
    }
}

// A box's text of rows, each unit marked when it belongs to one of the box's own breaks: the
// plain model that OwnBreaks must agree with, whatever the user does to the text.
struct MarkedText {
    std::u16string text;
    std::vector<bool> own;

    // `at` moved off the inside of a line break, which no edit of a box's splits.
    std::size_t whole(std::size_t at) const
    {
        return at > 0 && at < text.size() && text[at - 1] == u'\r' && text[at] == u'\n' ? at + 1 : at;
    }
    void replace(std::size_t start, std::size_t end, std::u16string_view inserted)
    {
        text.replace(start, end - start, inserted);
        own.erase(own.begin() + static_cast<std::ptrdiff_t>(start),
                  own.begin() + static_cast<std::ptrdiff_t>(end));
        own.insert(own.begin() + static_cast<std::ptrdiff_t>(start), inserted.size(), false);
    }
    // The part from `start` to `end` without the box's own breaks.
    std::u16string mailText(std::size_t start, std::size_t end) const
    {
        std::u16string kept;
        for (std::size_t at = start; at < end; ++at)
            if (!own[at])
                kept.push_back(text[at]);
        return kept;
    }
};

TEST(OwnBreaks, followAnyEditsSoThatCopyingGivesWhatAPlainModelOfTheSameEditsHolds)
{
    std::mt19937 random(20261209);
    const auto upTo = [&](std::size_t most) {
        return std::uniform_int_distribution<std::size_t>(0, most)(random);
    };
    const std::u16string_view words[] = {u"", u"a", u"长", u"word ", u"\r\n", u"b\r\nc"};
    for (int round = 0; round < 300; ++round) {
        MarkedText box;
        OwnBreaks breaks(2);
        for (std::size_t row = upTo(12); row > 0; --row) {
            for (std::size_t word = upTo(4); word > 0; --word)
                box.replace(box.text.size(), box.text.size(), words[upTo(3)]);
            const bool own = upTo(1) == 1;
            if (own)
                breaks.add(box.text.size());
            box.text += u"\r\n";
            box.own.insert(box.own.end(), 2, own);
        }
        for (std::size_t edit = upTo(15); edit > 0; --edit) {  // insertions, deletions, line breaks
            std::size_t start = box.whole(upTo(box.text.size())), end = box.whole(upTo(box.text.size()));
            if (start > end)
                std::swap(start, end);
            const std::u16string_view inserted = words[upTo(std::size(words) - 1)];
            box.replace(start, end, inserted);
            breaks.replace(start, end, inserted.size());
        }
        std::size_t start = box.whole(upTo(box.text.size())), end = box.whole(upTo(box.text.size()));
        if (start > end)
            std::swap(start, end);
        ASSERT_EQ(mailTextOf(std::u16string_view(box.text).substr(start, end - start), u"\r\n",
                             breaks.within(start, end), u"\r\n"),
                  box.mailText(start, end))
            << "round " << round;
    }
}

TEST(ViewerText, anEmptyMailEmptiesTheBox)
{
    EXPECT_EQ(allSlices(u"", 1000).size(), 1u);
}

TEST(MailLine, isShownCutToWhatAListCanShow)
{
    const MailLine huge = MailLine {std::u16string(1000000, u'长'), u"s", u"1"}.shown();
    EXPECT_LT(huge.joined(false).size(), 5000u) << "a megabyte is not laid out in a list line";
    EXPECT_LT((MailLine {std::u16string(1000000, u'长'), u"s", u"1"}.spoken().size()), 5000u);
}

TEST(MailLine, isSpokenAsSenderAndSubjectWithNothingReadOutAsASymbol)
{
    const struct {
        MailLine mail;
        std::u16string_view spoken;
    } cases[] = {
        {{u"张三 <a@x.test>", u"你好|世界", u"1000"}, u"张三 <a@x.test>，你好|世界"},
        {{u"a\tb\u202E\uFFFD", u" 主题\x01\n 二 ", u"1"}, u"a b，主题 二"},  // controls, bidi, U+FFFD
        {{u"\U0001F600 \xD800x", u"", u"1"}, u"\U0001F600 x"},  // a pair stays, a lone half goes
        {{u"\u2028", u"s", u"1"}, u"s"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(c.mail.spoken(), c.spoken) << testing::PrintToString(c.mail.from);
}

TEST(TwipScale, measuresTwipsAgainstTheFontsChineseCharacter)
{
    const struct {
        double characterPixels;
        int dpi;
        TwipsRect line;
        PixelRect box;
        int windowWidth;  // 8835 twips
    } cases[] = {
        {12, 96, {3960, 240, 4800, 0}, {264, 16, 321, 1}, 589},  // the design's own face: 15 twips a pixel
        {18, 96, {3960, 240, 0, 360}, {396, 24, 1, 37}, 884},
        {0, 144, {3960, 240, 0, 360}, {396, 24, 1, 37}, 884},  // no face measured it: the design's at 150 %
    };
    for (const auto &c : cases) {
        const TwipScale scale(c.characterPixels, c.dpi);
        const PixelRect box = scale.lineBox(c.line);
        EXPECT_EQ(scale(8835), c.windowWidth);
        EXPECT_EQ(std::tuple(box.left, box.top, box.width, box.height),
                  std::tuple(c.box.left, c.box.top, c.box.width, c.box.height));
    }
}

}  // namespace
}  // namespace venmarra::ui
