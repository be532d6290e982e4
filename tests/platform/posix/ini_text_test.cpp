#include "platform/posix/ini_text.h"

#include <gtest/gtest.h>

namespace {

TEST(IniTextTest, SetValueReplacesAddsOrAppends) {
    // Replaces in place, matching section and key without regard to case and
    // keeping the key's spelling and everything around it.
    EXPECT_EQ(IniSetValue("; note\n[mysection]\n NAME_AUTOR = x\nother=1\n", "MySection",
                          "Name_autor", "Kervad"),
              "; note\n[mysection]\nNAME_AUTOR=Kervad\nother=1\n");
    // Adds a missing key at the end of its section, before the blank lines.
    EXPECT_EQ(IniSetValue("[A]\r\na=1\r\n\r\n[B]\r\nb=2\r\n", "a", "k", "v"),
              "[A]\r\na=1\r\nk=v\r\n\r\n[B]\r\nb=2\r\n");
    // Appends a missing section; a new file gets CR LF line ends.
    EXPECT_EQ(IniSetValue("[A]\na=1\n", "B", "k", "v"), "[A]\na=1\n\n[B]\nk=v\n");
    EXPECT_EQ(IniSetValue("", "B", "k", "v"), "[B]\r\nk=v\r\n");
    // A value that looks like a key line in another section is not touched.
    EXPECT_EQ(IniSetValue("[X]\nk=1\n[B]\n", "B", "k", "v"), "[X]\nk=1\n[B]\nk=v\n");
}

TEST(IniTextTest, ReplaceSectionEmptiesOnlyThatSection) {
    EXPECT_EQ(IniReplaceSection("[S]\na=1\nb=2\n\n[T]\nc=3\n", "s", {}), "[S]\n\n[T]\nc=3\n");
    EXPECT_EQ(IniReplaceSection("[T]\nc=3\n[S]\na=1", "S", {"x=1", "y=2"}),
              "[T]\nc=3\n[S]\nx=1\ny=2\n");
    EXPECT_EQ(IniReplaceSection("[T]\nc=3\n", "S", {}), "[T]\nc=3\n\n[S]\n");
    // Lines that are not well-formed stay as they are outside the section.
    EXPECT_EQ(IniReplaceSection("junk\n[broken\n[S]\nz\n", "S", {}), "junk\n[broken\n[S]\n");
}

}  // namespace
