#pragma once
// The rows that say how config.ini is read and written, shared by the IniFile tests and
// their comparison with the Windows profile functions.

#include <optional>
#include <string>
#include <vector>

namespace ini_cases {

using namespace std::string_literals;

struct ReadCase {
    const char* name;
    std::string content;
    const char* section;
    const char* key;
    std::optional<std::string> expected;
};

inline std::vector<ReadCase> IniReadCases()
{
    return {
        ReadCase{"Plain", "[SYSTEM]\nHANDLE=5\n", "SYSTEM", "HANDLE", "5"},
        ReadCase{"SectionNameIgnoresCase", "[system]\nHANDLE=5\n", "SYSTEM", "HANDLE", "5"},
        ReadCase{"KeyNameIgnoresCase", "[SYSTEM]\nhandle=5\n", "SYSTEM", "HaNdLe", "5"},
        ReadCase{"FirstSectionWins", "[A]\nk=1\n[a]\nk=2\n", "A", "k", "1"},
        ReadCase{"OnlyFirstSectionIsSearched", "[A]\nx=1\n[A]\nk=2\n", "A", "k", std::nullopt},
        ReadCase{"FirstKeyWins", "[A]\nk=1\nK=2\n", "A", "k", "1"},
        ReadCase{"BlanksAroundNamesAndValue", "  [ A ]  \n\t k \t=   v  \n", "A", "k", "v"},
        ReadCase{"InnerBlanksKept", "[A]\nk= a  b \n", "A", "k", "a  b"},
        ReadCase{"DoubleQuotesStripped", "[A]\nk=\"v\"\n", "A", "k", "v"},
        ReadCase{"SingleQuotesStripped", "[A]\nk='v'\n", "A", "k", "v"},
        ReadCase{"OnlyOnePairStripped", "[A]\nk=\"\"v\"\"\n", "A", "k", "\"v\""},
        ReadCase{"QuotesInsideBlanksStripped", "[A]\nk=  \" v \"  \n", "A", "k", " v "},
        ReadCase{"UnbalancedQuoteKept", "[A]\nk=\"v\n", "A", "k", "\"v"},
        ReadCase{"MixedQuotesKept", "[A]\nk=\"v'\n", "A", "k", "\"v'"},
        ReadCase{"EmptyValueIsPresent", "[A]\nk=\n", "A", "k", ""},
        ReadCase{"EqualsInValue", "[A]\nk=a=b\n", "A", "k", "a=b"},
        ReadCase{"CrLf", "[A]\r\nk=1\r\n", "A", "k", "1"},
        ReadCase{"NoFinalLineBreak", "[A]\nk=1", "A", "k", "1"},
        ReadCase{"Utf8Bom", "\xEF\xBB\xBF[A]\nk=1\n", "A", "k", "1"},
        ReadCase{"Utf8Value", "[A]\nk=正在检测\n", "A", "k", "正在检测"},
        ReadCase{"CommentIsNoKey", "[A]\n;k=9\n", "A", "k", std::nullopt},
        ReadCase{"KeyOfAnotherSection", "[A]\nk=1\n[B]\nj=2\n", "B", "k", std::nullopt},
        ReadCase{"KeyBeforeAnySection", "k=1\n[A]\nj=2\n", "A", "k", std::nullopt},
        ReadCase{"HeaderWithoutBracketNamesSection", "[WIN\nLEFT=5\n", "WIN", "LEFT", "5"},
        ReadCase{"MissingSection", "[A]\nk=1\n", "B", "k", std::nullopt},
        ReadCase{"EmptyFile", "", "A", "k", std::nullopt},
        ReadCase{"NulBytes", "\0\0[A]\n\0k=1\n"s, "A", "k", std::nullopt},
    };
}

struct WriteCase {
    const char* name;
    std::string before;
    const char* section;
    const char* key;
    const char* value;
    std::string after;
};

inline std::vector<WriteCase> IniWriteCases()
{
    return {
        WriteCase{"ReplacesValueOnly", "[A]\nx=1\nk=old\ny=2\n", "A", "k", "new",
                  "[A]\nx=1\nk=new\ny=2\n"},
        WriteCase{"ReplacesWithoutRegardToCase", "[system]\nhandle=1\n", "SYSTEM", "HANDLE", "2",
                  "[system]\nhandle=2\n"},
        WriteCase{"ReplacesInFirstOfTwoSections", "[A]\nk=1\n[A]\nk=2\n", "A", "k", "3",
                  "[A]\nk=3\n[A]\nk=2\n"},
        WriteCase{"ReplacesFirstOfTwoKeys", "[A]\nk=1\nk=2\n", "A", "k", "3", "[A]\nk=3\nk=2\n"},
        WriteCase{"NewKeyAfterLastNonBlankLine", "[A]\nx=1\n\n\n[B]\ny=2\n", "A", "k", "3",
                  "[A]\nx=1\nk=3\n\n\n[B]\ny=2\n"},
        WriteCase{"NewKeyInEmptySection", "[A]\n[B]\ny=2\n", "A", "k", "3", "[A]\nk=3\n[B]\ny=2\n"},
        WriteCase{"NewKeyInLastSectionWithoutLineBreak", "[A]\nx=1", "A", "k", "3",
                  "[A]\nx=1\nk=3\n"},
        WriteCase{"NewSectionAppended", "[A]\nx=1\n", "B", "k", "v", "[A]\nx=1\n[B]\nk=v\n"},
        WriteCase{"NewSectionAfterLineWithoutBreak", "[A]\nx=1", "B", "k", "v",
                  "[A]\nx=1\n[B]\nk=v\n"},
        WriteCase{"EmptyFile", "", "SYSTEM", "HANDLE", "9", "[SYSTEM]\nHANDLE=9\n"},
        WriteCase{"CrLfAndCommentKept",
                  "; written on Windows\r\n[WIN]\r\nLEFT=10\r\nTOP=20\r\n\r\n[SYSTEM]\r\nA=1\r\n",
                  "win", "left", "30",
                  "; written on Windows\r\n[WIN]\r\nLEFT=30\r\nTOP=20\r\n\r\n[SYSTEM]\r\nA=1\r\n"},
        WriteCase{"CrLfNewKeyUsesCrLf", "[WIN]\r\nLEFT=10\r\n", "WIN", "STATE", "2",
                  "[WIN]\r\nLEFT=10\r\nSTATE=2\r\n"},
        WriteCase{"CrLfNewSectionUsesCrLf", "; c\r\n[WIN]\r\nLEFT=10\r\n", "SYSTEM", "HANDLE", "1",
                  "; c\r\n[WIN]\r\nLEFT=10\r\n[SYSTEM]\r\nHANDLE=1\r\n"},
        WriteCase{"BomKept", "\xEF\xBB\xBF[A]\nk=1\n", "A", "k", "2", "\xEF\xBB\xBF[A]\nk=2\n"},
        WriteCase{"BomSectionGetsNewKey", "\xEF\xBB\xBF[A]\nk=1\n", "A", "j", "2",
                  "\xEF\xBB\xBF[A]\nk=1\nj=2\n"},
        WriteCase{"BlanksBeforeEqualsKept", "[A]\n  k  = old\n", "A", "k", "1", "[A]\n  k  =1\n"},
        WriteCase{"BrokenHeaderKept", "[WIN\nLEFT=5\n", "WIN", "LEFT", "6", "[WIN\nLEFT=6\n"},
        WriteCase{"NulBytesKept", "\0x\n[A]\nk=1\n\0"s, "A", "k", "2", "\0x\n[A]\nk=2\n\0"s},
    };
}

} // namespace ini_cases
