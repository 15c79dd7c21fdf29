// The composite services: one command carried out by plain services one
// after the other. Start begins the first plain service; the sequencer calls
// Continue each time the plain service has finished. A composite finishes
// (both running types 0) at once when its plain service ended with an error,
// leaving that error for the sequencer.
#pragma once

#include "Services.h"

// 129: the descriptors of every block, memory type 0 from index 0 up to the
// first refused index, then memory type 1 likewise.
class TctReadBlockDescrList : public TCommTask {
public:
    TctReadBlockDescrList(_CommTaskContext* context, std::string* log, TctReadBlockDescr* reader)
        : TCommTask(context, log), Reader(reader) {}
    void SetInputs(TQXBlockMemList* list) { List = list; }
    void SetCommand(const _CommCmd& c) override { SetInputs(static_cast<TQXBlockMemList*>(c.Data)); }
    void Start() override;
    void Continue() override;

private:
    TctReadBlockDescr* Reader;
    TQXBlockMemList* List = nullptr;
    uint8_t MemType = 0;
    uint8_t Index = 0;
    TQXBlockMem* Block = nullptr;
    void ReadNext();
    void Close();
};

// The menu-language area and the menu configuration as the memory
// configuration of the unit describes them.
struct _QXMemConfig {
    uint32_t LangStart = 0;
    uint32_t LangAreaSize = 0;
    uint32_t LangSize = 0;  // one language without its 32-byte header
    uint32_t MenuConfig = 0;
    static _QXMemConfig From(const uint8_t* bytes24);
    // The address of a slot when the slot (header included) ends strictly
    // below the area's end and within the 24-bit address space; -1 otherwise.
    int64_t SlotAddress(int64_t slot) const;
};

// The composites over the memory configuration share its reading.
class TctMemConfigComposite : public TCommTask {
public:
    TctMemConfigComposite(_CommTaskContext* context, std::string* log, TctReadMemConfig* config)
        : TCommTask(context, log), ConfigReader(config) {}

protected:
    TctReadMemConfig* ConfigReader;
    int Phase = 0;
    uint8_t ConfigBytes[TctReadMemConfig::ConfigSize] = {};
    void Begin(int32_t type);
    _QXMemConfig Config() const { return _QXMemConfig::From(ConfigBytes); }
    // Finishes the composite; true when the plain service ended with an error.
    bool EndOnError();
    void Close();
};

// 130: the names of the used menu-language slots, each with its slot index.
class TctReadMenuLangList : public TctMemConfigComposite {
public:
    static constexpr size_t HeaderSize = 32;
    static constexpr size_t NameSize = 16;
    TctReadMenuLangList(_CommTaskContext* context, std::string* log, TctReadMemConfig* config, TctReadData* reader)
        : TctMemConfigComposite(context, log, config), Reader(reader) {}
    void SetInputs(TTextLines* lines) { Lines = lines; }
    void SetCommand(const _CommCmd& c) override { SetInputs(c.Lines); }
    void Start() override;
    void Continue() override;

private:
    TctReadData* Reader;
    TTextLines* Lines = nullptr;
    int64_t SlotAddress = 0;
    int32_t SlotIndex = 0;
    uint8_t Header[HeaderSize] = {};
    void ReadHeader();
};

// 131: one menu-language image into its slot.
class TctWriteMenuLanguage : public TctMemConfigComposite {
public:
    TctWriteMenuLanguage(_CommTaskContext* context, std::string* log, TctReadMemConfig* config, TctWriteData* writer)
        : TctMemConfigComposite(context, log, config), Writer(writer) {}
    void SetInputs(int32_t slot, const uint8_t* image, int32_t length) {
        Slot = slot;
        Image = image;
        ImageLength = length;
    }
    void SetCommand(const _CommCmd& c) override { SetInputs(c.Param, static_cast<const uint8_t*>(c.Data), c.Length); }
    void Start() override;
    void Continue() override;

private:
    TctWriteData* Writer;
    int32_t Slot = 0;
    const uint8_t* Image = nullptr;
    int32_t ImageLength = 0;
};

// 132: 32 zero bytes over a slot's header mark the slot free.
class TctDeleteMenuLanguage : public TctMemConfigComposite {
public:
    TctDeleteMenuLanguage(_CommTaskContext* context, std::string* log, TctReadMemConfig* config, TctWriteData* writer)
        : TctMemConfigComposite(context, log, config), Writer(writer) {}
    void SetInputs(int32_t slot) { Slot = slot; }
    void SetCommand(const _CommCmd& c) override { SetInputs(c.Param); }
    void Start() override;
    void Continue() override;

private:
    TctWriteData* Writer;
    int32_t Slot = 0;
    uint8_t Zeros[32] = {};
};

// 133: the menu configuration image at the unit's configuration address.
class TctWriteMenuConfig : public TctMemConfigComposite {
public:
    TctWriteMenuConfig(_CommTaskContext* context, std::string* log, TctReadMemConfig* config, TctWriteData* writer)
        : TctMemConfigComposite(context, log, config), Writer(writer) {}
    void SetInputs(const uint8_t* image, int32_t length) {
        Image = image;
        ImageLength = length;
    }
    void SetCommand(const _CommCmd& c) override { SetInputs(static_cast<const uint8_t*>(c.Data), c.Length); }
    void Start() override;
    void Continue() override;

private:
    TctWriteData* Writer;
    const uint8_t* Image = nullptr;
    int32_t ImageLength = 0;
};
