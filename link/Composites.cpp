#include "Composites.h"

#include <cstring>

#include "Bytes.h"
#include "FunctionCodes.h"

// ----------------------------------------------------- block descriptor list

void TctReadBlockDescrList::Start() {
    ClearError();
    if (!List) return FailStart();
    Context->SuperService = cssReadBlockDescrList;
    Context->Progress.Position = Context->Progress.Min;
    Context->Progress.Count = 0;
    Context->Progress.Total = 0;
    List->Clear();
    MemType = 0;
    Index = 0;
    ReadNext();
}

void TctReadBlockDescrList::ReadNext() {
    Block = List->Add();
    Block->Clear();
    Block->MemType = MemType;
    Block->Index = Index;
    Reader->SetInputs(Block);
    Reader->Start();
}

void TctReadBlockDescrList::Close() {
    Context->SuperService = 0;
    Context->Service = 0;
}

void TctReadBlockDescrList::Continue() {
    const int32_t error = Context->ErrorCode;
    if (error == 0) {
        ++Context->Progress.Count;
        // Indexes count in one byte: after index 255 this memory type has
        // no further block to ask for.
        if (Index < 0xFF) {
            ++Index;
            return ReadNext();
        }
    } else if (error == ceBlockDescrRefused) {
        ClearError();
        List->Delete(List->Count() - 1);
    } else {
        return Close();
    }
    if (MemType == 0) {
        MemType = 1;
        Index = 0;
        return ReadNext();
    }
    ProgressToMax();
    Close();
}

// ------------------------------------------------ over the memory configuration

_QXMemConfig _QXMemConfig::From(const uint8_t* b) {
    _QXMemConfig c;
    c.LangStart = LeGet32(b + 8);
    c.LangAreaSize = LeGet16(b + 12);
    c.LangSize = LeGet16(b + 16);
    c.MenuConfig = LeGet32(b + 18);
    return c;
}

int64_t _QXMemConfig::SlotAddress(int64_t slot) const {
    if (slot < 0) return -1;
    const int64_t slotSize = int64_t{LangSize} + 32;
    const int64_t address = int64_t{LangStart} + slot * slotSize;
    const int64_t end = address + slotSize;
    if (end >= int64_t{LangStart} + LangAreaSize || end > QXWire::AddressSpace) return -1;
    return address;
}

void TctMemConfigComposite::Begin(int32_t type) {
    Context->SuperService = type;
    Phase = 0;
    std::memset(ConfigBytes, 0, sizeof ConfigBytes);
    ConfigReader->SetInputs(ConfigBytes);
    ConfigReader->Start();
}

bool TctMemConfigComposite::EndOnError() {
    if (Context->ErrorCode == 0) return false;
    Close();
    return true;
}

void TctMemConfigComposite::Close() {
    Context->SuperService = 0;
    Context->Service = 0;
}

// ---------------------------------------------------------- language list

void TctReadMenuLangList::Start() {
    ClearError();
    if (!Lines) return FailStart();
    Lines->Clear();
    Begin(cssReadMenuLangList);
}

void TctReadMenuLangList::ReadHeader() {
    Reader->SetInputs(Header, static_cast<uint32_t>(SlotAddress), HeaderSize);
    Reader->Start();
}

void TctReadMenuLangList::Continue() {
    if (EndOnError()) return;
    const _QXMemConfig config = Config();
    if (Phase == 0) {
        Phase = 1;
        SlotAddress = config.LangStart;
        SlotIndex = 0;
        return ReadHeader();
    }
    const uint16_t fcs = LeGet16(Header + 16);
    const uint16_t complement = LeGet16(Header + 18);
    if (fcs == static_cast<uint16_t>(~complement)) {
        const void* nul = std::memchr(Header, 0, NameSize);
        const size_t n = nul ? static_cast<size_t>(static_cast<const uint8_t*>(nul) - Header) : NameSize;
        Lines->AddObject(std::string(reinterpret_cast<const char*>(Header), n), SlotIndex);
    }
    ++SlotIndex;
    const int64_t next = config.SlotAddress(SlotIndex);
    if (next < 0) {
        ProgressToMax();
        return Close();
    }
    SlotAddress = next;
    ReadHeader();
}

// ------------------------------------------------------- write a language

void TctWriteMenuLanguage::Start() {
    ClearError();
    if (!Image || ImageLength < 0) return FailStart();
    Begin(cssWriteMenuLanguage);
}

void TctWriteMenuLanguage::Continue() {
    if (EndOnError()) return;
    if (Phase != 0) return Close();
    const _QXMemConfig config = Config();
    const int64_t address = config.SlotAddress(Slot);
    if (address < 0) {
        SetError(ceLangSlot);
        return Close();
    }
    if (int64_t{ImageLength} != int64_t{config.LangSize} + 32) {
        SetError(ceLangSize);
        return Close();
    }
    Phase = 1;
    Writer->SetInputs(Image, static_cast<uint32_t>(address), static_cast<uint32_t>(ImageLength));
    Writer->Start();
}

// ------------------------------------------------------ delete a language

void TctDeleteMenuLanguage::Start() {
    ClearError();
    Begin(cssDeleteMenuLanguage);
}

void TctDeleteMenuLanguage::Continue() {
    if (EndOnError()) return;
    if (Phase != 0) return Close();
    const int64_t address = Config().SlotAddress(Slot);
    if (address < 0) {
        SetError(ceLangDeleteSlot);
        return Close();
    }
    Phase = 1;
    std::memset(Zeros, 0, sizeof Zeros);
    Writer->SetInputs(Zeros, static_cast<uint32_t>(address), sizeof Zeros);
    Writer->Start();
}

// -------------------------------------------------- menu configuration

void TctWriteMenuConfig::Start() {
    ClearError();
    if (!Image || ImageLength < 0) return FailStart();
    Begin(cssWriteMenuConfig);
}

void TctWriteMenuConfig::Continue() {
    if (EndOnError()) return;
    if (Phase != 0) return Close();
    Phase = 1;
    Writer->SetInputs(Image, Config().MenuConfig, static_cast<uint32_t>(ImageLength));
    Writer->Start();
}
