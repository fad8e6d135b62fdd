// The cells of a masked edit, without the edit: what typing, clearing and setting do to them.
#include "form/MaskCells.h"

#include <gtest/gtest.h>

namespace zorvik {
namespace {

constexpr std::u16string_view kTelephone = u"+999999999999 ;1;_";

TEST(MaskCells, StartEmptyWithTheLiteralsInPlaceAndTheNamedBlank) {
    EXPECT_EQ(MaskCells(kTelephone).Text(), u"+____________ ");
    EXPECT_EQ(MaskCells(u"00;1;*").Text(), u"**");  // "0" marks a digit place as well
    EXPECT_EQ(MaskCells(u"9-9").Text(), u"_-_");    // no fields: the whole text is the mask
}

TEST(MaskCells, SetTextPutsEachCharacterAtItsOwnPosition) {
    MaskCells cells(kTelephone);
    cells.SetFullText(u"x48a1");
    EXPECT_EQ(cells.Text(), u"+48_1________ ");
    cells.SetFullText(u"");
    EXPECT_EQ(cells.Text(), u"+____________ ");
}

TEST(MaskCells, DigitsGoIntoTheNextDigitPlacesAndAnythingElseIsLeftOut) {
    MaskCells cells(kTelephone);
    EXPECT_EQ(cells.PutDigits(u"+48 601", 0), 6);
    EXPECT_EQ(cells.Text(), u"+48601_______ ");
    EXPECT_EQ(cells.PutDigits(u"1234567890", 6), 13);  // the last ones find no place
    EXPECT_EQ(cells.Text(), u"+486011234567 ");
    cells.Clear(0, 3);
    EXPECT_EQ(cells.Text(), u"+__6011234567 ");
}

TEST(MaskCells, DigitPlacesAreFoundAcrossTheLiterals) {
    const MaskCells cells(kTelephone);
    EXPECT_EQ(cells.NextDigitPosition(0), 1);
    EXPECT_EQ(cells.NextDigitPosition(13), -1);
    EXPECT_EQ(cells.PreviousDigitPosition(14), 12);
    EXPECT_EQ(cells.PreviousDigitPosition(1), -1);
}

TEST(MaskCells, ANumberMarksGapsAndDropsTheEmptyTail) {
    MaskCells cells(kTelephone);
    cells.SetFullText(u"+4_1");
    EXPECT_EQ(cells.Number(1, 12), "4_1");
    cells.SetFullText(u"");
    EXPECT_EQ(cells.Number(1, 12), "");
}

}  // namespace
}  // namespace zorvik
