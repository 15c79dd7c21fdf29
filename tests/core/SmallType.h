// A small type for the tests of the type file, the block images and the
// CSV: two languages, two parameters, two data sets and one table of three
// fields (2 bytes signed, 1 byte, 3 bytes) by two rows with two data sets.
// Also byte helpers for writing the expected images out by hand.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "Tabledata.h"
#include "TypeBlocks.h"
#include "TypeObject.h"
#include "Typedata.h"

using Bytes = std::vector<uint8_t>;

// Overwrites bytes of an image in place. A write past the image's end (a
// test that took a shorter block than it meant) stops the test instead of
// writing beyond the vector.
inline void PutAt(Bytes& b, size_t at, std::span<const uint8_t> bytes) {
    if (at > b.size() || bytes.size() > b.size() - at) throw std::out_of_range("PutAt: past the end of the image");
    std::copy(bytes.begin(), bytes.end(), b.begin() + static_cast<std::ptrdiff_t>(at));
}
inline void PutAt(Bytes& b, size_t at, std::string_view text) {
    PutAt(b, at, std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
}
inline void PutAt(Bytes& b, size_t at, std::initializer_list<uint8_t> bytes) {
    PutAt(b, at, std::span(bytes.begin(), bytes.size()));
}
inline void Put16At(Bytes& b, size_t at, uint16_t v) { PutAt(b, at, {uint8_t(v), uint8_t(v >> 8)}); }
inline void Put32At(Bytes& b, size_t at, uint32_t v) {
    PutAt(b, at, {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)});
}
inline Bytes BlockBytes(const TQXBlockMem& block) {
    return Bytes(block.Data(), block.Data() + block.GetDataLength());
}

// The sections of a container image, read independently of the container
// classes: (id, sub-id) -> payload. Empty when the image is inconsistent.
inline std::map<std::pair<uint16_t, uint16_t>, Bytes> SplitContainer(const Bytes& image, std::string_view ident,
                                                                      std::vector<std::pair<uint16_t, uint16_t>>* order = nullptr) {
    std::map<std::pair<uint16_t, uint16_t>, Bytes> sections;
    if (image.size() < 16 || std::string(reinterpret_cast<const char*>(image.data())) != ident) return sections;
    const size_t count = image[14] | (image[15] << 8);
    size_t at = 16 + 8 * count;
    for (size_t i = 0; i < count; ++i) {
        const uint8_t* e = &image[16 + 8 * i];
        const uint16_t id = uint16_t(e[0] | e[1] << 8), sub = uint16_t(e[2] | e[3] << 8);
        const size_t size = size_t(e[4]) | size_t(e[5]) << 8 | size_t(e[6]) << 16 | size_t(e[7]) << 24;
        if (at + size > image.size()) return {};
        sections[{id, sub}] = Bytes(image.begin() + long(at), image.begin() + long(at + size));
        if (order) order->push_back({id, sub});
        at += size;
    }
    if (at != image.size()) return {};
    return sections;
}

// A fresh folder for the files of one test, removed with everything in it.
struct TempFolder {
    std::string Path;
    TempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "types-XXXXXX").string();
        if (::mkdtemp(pattern.data())) Path = pattern;
    }
    ~TempFolder() {
        if (!Path.empty()) std::filesystem::remove_all(Path);
    }
    std::string File(const char* name) const { return Path + "/" + name; }
};

inline _BlockContext V2Context() {
    _BlockContext context;
    context.ModelVersion.SetText("V2.7");
    return context;
}

// A V2 block context that counts the overwrite questions and gives one answer.
struct AskingContext {
    _BlockContext Context = V2Context();
    int Questions = 0;
    bool Answer = false;
    AskingContext() {
        Context.AskOverwrite = [this](std::string_view, std::string_view) {
            ++Questions;
            return Answer;
        };
    }
    AskingContext(const AskingContext&) = delete;
    AskingContext& operator=(const AskingContext&) = delete;
};

struct SmallType {
    uint8_t Formats[100] = {};
    TTypeObjectData Object{Formats};

    SmallType() {
        Object.SetTypeName("PUMP");
        TTypeData6& type = Object.GetTypeData();
        type.SetLanguageCount(2);
        type.GetLanguage(0)->SetName("English");
        type.GetLanguage(1)->SetName("Deutsch");
        type.GetLanguage(0)->SetSwitchText(0, "Fan");
        type.GetLanguage(1)->SetSwitchText(0, "Luefter");
        type.GetLanguage(0)->SetSwitchText(15, "Heater");
        type.GetLanguage(1)->SetSwitchText(15, "Heizung");
        type.SetParameterCount(2);
        type.SetParamNameRaw(0, 0, "P1 Speed");
        type.SetParamNameRaw(0, 1, "P1 Tempo");
        type.SetParamNameRaw(1, 0, "P2 Limit");
        type.SetParamNameRaw(1, 1, "P2 Grenze");
        type.GetParamFormat(0)->SetUnits("rpm");
        type.GetParamFormat(0)->Min = 10;
        type.GetParamFormat(0)->Max = 3000;
        type.GetParamFormat(1)->SetUnits("%");
        type.GetParamFormat(1)->Max = 100;
        type.SetDataSetCount(2);
        type.SetDataSetName(0, "Summer");
        type.SetDataSetName(1, "Winter");
        type.SetSwitchMask(0, 0x0001);
        type.SetSwitchMask(1, 0x8000);
        type.SetValue(0, 0, 100);
        type.SetValue(1, 0, 50);
        type.SetValue(0, 1, 2000);
        type.SetValue(1, 1, 75);

        TTableData* table = Object.AddTable();
        table->SetName("Curve");
        table->SetTypeName("PUMP");
        table->SetFunction(1);
        table->SetBlock(2);
        table->SetCfg(3);
        table->SetLevel(4);
        table->SetFieldCount(3);
        table->GetField(0)->SetName("Temp");
        table->GetField(0)->SetUnit("C");
        table->GetField(0)->Size = 2;
        table->GetField(0)->Flags = 1;
        table->GetField(1)->SetName("Flag");
        table->GetField(1)->Size = 1;
        table->GetField(2)->SetName("Big");
        table->GetField(2)->SetUnit("mV");
        table->GetField(2)->Size = 3;
        table->SetRowCount(2);
        table->SetDataSetCount(2);
        table->SetDataSetName(0, "Summer");
        table->SetDataSetName(1, "Winter");
        const uint32_t cells[2][2][3] = {{{0xFFFFFFFB, 7, 0x123456}, {300, 255, 1}},
                                         {{1, 2, 3}, {0xFFFF8000, 0x80, 0xFFFFFF}}};
        for (int d = 0; d < 2; ++d)
            for (int r = 0; r < 2; ++r)
                for (int f = 0; f < 3; ++f) table->SetValue(d, r, f, cells[d][r][f]);
    }

    TTypeData6& Type() { return Object.GetTypeData(); }
    TTableData& Table() { return *Object.GetTable(0); }
};
