// The type part of the CSV file: the rows written, line for line, and the
// reader with the files of this program and of others.
#include <gtest/gtest.h>

#include "CSVFile.h"
#include "SafeFile.h"
#include "SmallType.h"
#include "TypeCSV.h"

namespace {

class TypeCSV : public ::testing::Test {
protected:
    TempFolder Temp;
    uint8_t Formats[100] = {};
    TTypeData6 Type{Formats};

    void SetUp() override {
        ASSERT_FALSE(Temp.Path.empty());
        Reset(Type);
    }
    // As the import leaves a type before it reads one.
    static void Reset(TTypeData6& type) {
        type.SetLanguageCount(1);
        type.SetParameterCount(0);
        type.SetDataSetCount(1);
    }
    std::string Written(const TTypeData6& type, std::vector<uint8_t> chosen, bool parameters, bool config) {
        const std::string path = Temp.File("out.csv");
        {
            CSVFile file(path, true);
            EXPECT_TRUE(WriteToCSV(type, file, chosen, parameters, config));
            EXPECT_TRUE(file.Close());
        }
        return ReadWholeFile(path).value_or("");
    }
    // Reads the lines (joined with CR LF) into Type; the result and the mask.
    bool Read(const std::string& lines, uint32_t* found = nullptr) {
        const std::string path = Temp.File("in.csv");
        EXPECT_TRUE(ReplaceFileContents(path, lines));
        CSVFile file(path, false);
        EXPECT_TRUE(file.IsOpen());
        return ReadFromCSV(Type, file, found);
    }
};

std::string Lines(std::initializer_list<const char*> lines) {
    std::string text;
    for (const char* line : lines) text += std::string(line) + "\r\n";
    return text;
}

}  // namespace

TEST_F(TypeCSV, RowsOfTheSmallType) {
    SmallType small;
    std::string expected = Lines({
        "QX318Utility_Exported;;;;;;",
        "Anzahl_Config-Switches;16;;;;;",
        "Ident-String;PUMP;;;;;",
        "\xA7Sprachen;;;;;x;x",
        "Bezeichner;Wert;Einheit;Min ;Max;English;Deutsch",
        "\xA7" "Config;;;;;;",
        "SW16;;;;;Heater;Heizung",
    });
    for (int s = 15; s >= 2; --s) {
        const std::string n = std::to_string(s);
        expected += "SW" + std::string(s < 10 ? "0" : "") + n + ";;;;;SW " + n + ";SW " + n + "\r\n";
    }
    expected += Lines({
        "SW01;x;;;;Fan;Luefter",
        "\xA7Parameter;;;;;;",
        "P1;100;rpm;10;3000;Speed;Tempo",
        "P2;50;%;0;100;Limit;Grenze",
    });
    EXPECT_EQ(Written(small.Type(), {1, 1}, true, true), expected);

    // Without configuration and parameters only the five fixed rows; a
    // language that is not chosen keeps its name but not its texts.
    EXPECT_EQ(Written(small.Type(), {0, 1}, false, false),
              Lines({"QX318Utility_Exported;;;;;;", "Anzahl_Config-Switches;16;;;;;", "Ident-String;PUMP;;;;;",
                     "\xA7Sprachen;;;;;;x", "Bezeichner;Wert;Einheit;Min ;Max;English;Deutsch"}));
    const std::string one = Written(small.Type(), {1}, true, false);
    EXPECT_NE(one.find("P1;100;rpm;10;3000;Speed;\r\n"), std::string::npos);
}

TEST_F(TypeCSV, RoundTrip) {
    SmallType small;
    const std::string text = Written(small.Type(), {1, 1}, true, true);
    uint32_t found = 0;
    ASSERT_TRUE(Read(text, &found));
    EXPECT_EQ(found, CSVFoundName | CSVFoundLanguages | CSVFoundSwitches | CSVFoundParameters);
    EXPECT_EQ(Type.GetName(), "PUMP");
    ASSERT_EQ(Type.GetLanguageCount(), 2);
    EXPECT_EQ(Type.GetLanguage(0)->GetName(), "English");
    EXPECT_EQ(Type.GetLanguage(1)->GetName(), "Deutsch");
    EXPECT_EQ(Type.GetLanguage(1)->GetSwitchText(0), "Luefter");
    EXPECT_EQ(Type.GetLanguage(0)->GetSwitchText(15), "Heater");
    EXPECT_EQ(Type.GetSwitchMask(0), 0x0001);
    ASSERT_EQ(Type.GetParameterCount(), 2);
    EXPECT_EQ(Type.GetParamName(0, 0), "P1 Speed");
    EXPECT_EQ(Type.GetParamName(1, 1), "P2 Grenze");
    EXPECT_EQ(Type.GetValue(0, 0), 100);
    EXPECT_EQ(Type.GetParamFormat(0)->GetUnits(), "rpm");
    EXPECT_EQ(Type.GetParamFormat(0)->Max, 3000);
}

TEST_F(TypeCSV, ChosenLanguagesBecomeTheLanguages) {
    // Only the second of two chosen: one language, from column 6.
    ASSERT_TRUE(Read(Lines({"\xA7Sprachen;;;;;;x", "Bezeichner;Wert;Einheit;Min ;Max;English;Deutsch",
                            "\xA7Parameter", "P1;1;;0;9;Speed;Tempo"})));
    ASSERT_EQ(Type.GetLanguageCount(), 1);
    EXPECT_EQ(Type.GetLanguage(0)->GetName(), "Deutsch");
    EXPECT_EQ(Type.GetParamName(0, 0), "P1 Tempo");

    // Three, the middle one not chosen: two, from columns 5 and 7.
    Reset(Type);
    ASSERT_TRUE(Read(Lines({"\xA7Sprachen;;;;;x;;x", "Bezeichner;;;;;One;Two;Three", "\xA7Parameter",
                            "P1;1;;0;9;Eins;Zwei;Drei"})));
    ASSERT_EQ(Type.GetLanguageCount(), 2);
    EXPECT_EQ(Type.GetLanguage(1)->GetName(), "Three");
    EXPECT_EQ(Type.GetParamName(0, 1), "P1 Drei");

    // Only lower-case "x" marks; marks beyond ten languages address none,
    // marks beyond column 31 are not kept.
    Reset(Type);
    std::string marks = "\xA7Sprachen;;;;;X";
    for (int i = 0; i < 12; ++i) marks += ";xx";
    marks += std::string(20, ';') + "x";
    ASSERT_TRUE(Read(marks + "\r\nBezeichner\r\n"));
    EXPECT_EQ(Type.GetLanguageCount(), 10);
}

TEST_F(TypeCSV, ParameterCodesAndTexts) {
    uint8_t formats[100] = {};
    TTypeData6 type(formats);
    type.SetLanguageCount(1);
    type.SetDataSetCount(1);
    type.SetParameterCount(4);
    type.SetParamNameRaw(0, 0, "P1 Speed limit");
    type.SetParamNameRaw(1, 0, "Speed");
    type.SetParamName(2, 0, "Temperature limit");  // no code: stored with a leading blank
    type.SetParamNameRaw(3, 0, "P4 Last");
    const std::string text = Written(type, {1}, true, false);
    EXPECT_NE(text.find("\r\nP1;0;;0;0;Speed limit\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\nSpeed;0;;0;0;Speed\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\n;0;;0;0;Temperature limit\r\n"), std::string::npos);
    ASSERT_TRUE(Read(text));
    ASSERT_EQ(Type.GetParameterCount(), 4);
    EXPECT_EQ(Type.GetParamName(0, 0), "P1 Speed limit");
    EXPECT_EQ(Type.GetParamName(1, 0), "Speed Speed");
    // The row without a code is kept, so the numbering holds.
    EXPECT_EQ(Type.GetParamName(2, 0), " Temperature limit");
    EXPECT_EQ(Type.GetParamName(3, 0), "P4 Last");
}

TEST_F(TypeCSV, ParameterRows) {
    uint32_t found = 0;
    EXPECT_FALSE(Read(Lines({"\xA7Sprachen;;;;;x", "Bezeichner;;;;;Lang", "\xA7Parameter",
                             "P1;;kg;5;9;Empty value",      // the value is min
                             ";;;;;",                         // every field empty: no parameter
                             "",                              // neither
                             "P3;12a;bar;1;2;Bad value",      // stays with units, min and max
                             "P4;7;;9z;3;Bad min",            // stays with its units only
                             "P5;$10;;0x10;-1;Hex",           // hexadecimal, and min/max cut to 16 bits
                             ";3",                            // a row with only a value
                             "P7"}),                          // a code alone
                      &found));
    EXPECT_EQ(found, CSVFoundLanguages | CSVFoundParameters);
    ASSERT_EQ(Type.GetParameterCount(), 6);
    EXPECT_EQ(Type.GetValue(0, 0), 5);
    EXPECT_EQ(Type.GetParamName(0, 0), "P1 Empty value");
    EXPECT_EQ(Type.GetParamFormat(1)->GetUnits(), "bar");
    EXPECT_EQ(Type.GetParamFormat(1)->Max, 2);
    EXPECT_EQ(Type.GetValue(1, 0), 0);
    EXPECT_EQ(Type.GetParamName(1, 0), "");
    EXPECT_EQ(Type.GetParamFormat(2)->Min, 0);
    EXPECT_EQ(Type.GetValue(3, 0), 16);
    EXPECT_EQ(Type.GetParamFormat(3)->Min, 16);
    EXPECT_EQ(Type.GetParamFormat(3)->Max, 0xFFFF);
    EXPECT_EQ(Type.GetValue(4, 0), 3);
    EXPECT_EQ(Type.GetParamName(5, 0), "");
}

TEST_F(TypeCSV, SwitchRows) {
    std::string text = Lines({"Ident-String;SW TYPE", "\xA7Sprachen;;;;;x;x", "Bezeichner;;;;;A;B", "\xA7" "Config",
                              "SW16;X;;;;Top A;Top B", "SW15;;;;;Next A"});
    for (int i = 0; i < 16; ++i) text += "SW;x;;;;Beyond\r\n";  // the seventeenth on changes nothing
    uint32_t found = 0;
    ASSERT_TRUE(Read(text, &found));
    EXPECT_EQ(found, CSVFoundName | CSVFoundLanguages | CSVFoundSwitches);
    EXPECT_EQ(Type.GetName(), "SW TYPE");
    EXPECT_EQ(Type.GetSwitchMask(0), 0x8000 | 0x3FFF);
    EXPECT_EQ(Type.GetLanguage(1)->GetSwitchText(15), "Top B");
    EXPECT_EQ(Type.GetLanguage(1)->GetSwitchText(14), "SW 15");
    EXPECT_EQ(Type.GetLanguage(0)->GetSwitchText(14), "Next A");
    EXPECT_EQ(Type.GetLanguage(0)->GetSwitchText(0), "Beyond");
}

TEST_F(TypeCSV, FilesOfOtherPrograms) {
    uint32_t found = 99;
    // Another separator: nothing is recognised.
    EXPECT_TRUE(Read(Lines({"Ident-String,PUMP", "\xA7Parameter,,,", "P1,1,,0,9,Speed"}), &found));
    EXPECT_EQ(found, 0u);
    EXPECT_EQ(Type.GetName(), "");
    EXPECT_EQ(Type.GetParameterCount(), 0);

    // No markers at all, extra columns, a field too long for the file.
    Reset(Type);
    EXPECT_TRUE(Read(Lines({"Name;Value;Unit;Min;Max;Text;Extra;Extra", "P1;1;2;3;4;5;6;7"}), &found));
    EXPECT_EQ(found, 0u);
    EXPECT_EQ(Type.GetParameterCount(), 0);
    Reset(Type);
    EXPECT_TRUE(Read("\xA7Parameter\r\nP1;1;;0;9;" + std::string(300, 'x') + "\r\nP2;2\r\n", &found));
    EXPECT_EQ(Type.GetParameterCount(), 2);
    EXPECT_EQ(Type.GetValue(1, 0), 2);

    // Text in number cells: false, and reading goes on.
    Reset(Type);
    EXPECT_FALSE(Read(Lines({"\xA7Parameter", "P1;one;;0;9", "P2;2;;zero;9", "P3;3"}), &found));
    ASSERT_EQ(Type.GetParameterCount(), 3);
    EXPECT_EQ(Type.GetValue(2, 0), 3);

    // Lines ending in LF only, and a last line without its end.
    Reset(Type);
    EXPECT_TRUE(Read("Ident-String;LF\n\xA7Parameter\nP1;4", &found));
    EXPECT_EQ(Type.GetName(), "LF");
    EXPECT_EQ(Type.GetValue(0, 0), 4);
}

TEST_F(TypeCSV, TablesAfterTheTypeAreLeftToTheTableReader) {
    SmallType small;
    const std::string path = Temp.File("both.csv");
    {
        CSVFile file(path, true);
        ASSERT_TRUE(WriteToCSV(small.Type(), file, std::vector<uint8_t>{1, 1}, true, true));
        ASSERT_TRUE(small.Table().WriteToCSV(file));
        ASSERT_TRUE(file.Close());
    }
    CSVFile file(path, false);
    ASSERT_TRUE(ReadFromCSV(Type, file));
    EXPECT_EQ(Type.GetParameterCount(), 2);  // the table rows are no parameters
    file.Rewind();
    uint8_t formats[100] = {};
    TTableData table(formats);
    table.SetDataSetCount(1);
    ASSERT_TRUE(table.ReadFromCSV(file));
    EXPECT_EQ(table.GetName(), "Curve");
    EXPECT_EQ(table.GetValue(0, 0, 2), 0x123456u);
}
