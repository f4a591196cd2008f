#include "engine/PasswordCodes.h"
#include "engine/EngineError.h"

#include <gtest/gtest.h>

using namespace veskard::engine;
using Codes = std::vector<std::string>;

TEST(PasswordCodes, SingleAndDoubleByteCharactersAndBackAndNoneIsRefused) {
    EXPECT_EQ(*encodePassword(u"a"), Codes{"61"});
    EXPECT_EQ(*encodePassword(u"\t"), Codes{"9"}); // no leading zero
    EXPECT_EQ(*encodePassword(u"中文"), (Codes{"D6D0", "CEC4"}));
    EXPECT_EQ(*encodePassword(u"é€"), (Codes{"A8A6", "80"}));
    EXPECT_EQ(*encodePassword(u"Ab1中"), (Codes{"41", "62", "31", "D6D0"}));

    for (const std::u16string password : {u"a", u"中文", u"Pass word!", u"é€〇·", u"ＡＢＣ"})
        EXPECT_EQ(decodePassword(*encodePassword(password)), password);
    EXPECT_EQ(encodePassword(u"").error(), EngineError::EmptyPassword);
}

TEST(PasswordCodes, CharactersOutsideTheCodePageBecomeQuestionMarks) {
    // Thai and Hangul have no place in the code page; an emoji is two UTF-16 units.
    EXPECT_EQ(*encodePassword(u"aกb"), (Codes{"61", "3F", "62"}));
    EXPECT_EQ(*encodePassword(u"한"), Codes{"3F"});
    EXPECT_EQ(*encodePassword(u"😀"), (Codes{"3F", "3F"}));
    EXPECT_EQ(decodePassword(*encodePassword(u"xก")), u"x?");
}

TEST(PasswordCodes, DecodingToleratesCodesNoWriterMakes) {
    // Lower-case digits read as their value; a lone lead byte, a code with no
    // character or one of two single-byte characters reads as the question mark.
    EXPECT_EQ(decodePassword({"d6d0", "81", "FFFF", "4142", "0"}), std::u16string(u"中???\0", 5));
    for (const char* invalid : {"", "12345", "G1"})
        EXPECT_FALSE(isValidPassCode(invalid)) << invalid;
    EXPECT_TRUE(isValidPassCode("FFFF"));
}
