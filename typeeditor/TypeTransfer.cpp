#include "TypeTransfer.h"

#include "Appinterface.h"
#include "Dialogs.h"
#include "LanguageSelect.h"
#include "MessageIds.h"
#include "QtText.h"
#include "TableBlocks.h"
#include "TypeBlocks.h"
#include "TypeObject.h"
#include "TypeWindow.h"
#include "UnitRun.h"

namespace {

// The unit names a block with 16 characters and a zero byte; the delete
// command's name is padded so that a shorter name goes blank-filled.
constexpr size_t DeleteNamePadding = 17;
// A type keeps at most this many characters of its name.
constexpr size_t TypeNameLength = PaddedNameSize - 1;

constexpr uint8_t KindParametersData = 3;
constexpr uint8_t KindTableData = 4;

bool PromptTypeName(TfrmTypeObject& window, std::string& value) {
    _AppInterface& app = *window.App;
    const std::string prompt = app.Text(Msg::InputTypeName);
    // The box takes no more than the type keeps of a name.
    return InputQuery(&window, app.Text(Msg::CaptionType), prompt, value, static_cast<int>(TypeNameLength));
}

_BlockContext BlockContext(const _AppInterface& app) {
    _BlockContext context;
    context.ModelVersion = app.ModelVersion;
    return context;
}

// The message for images that could not be built: the type or table that
// the images cannot carry, or the model version without a block format.
void ReportNoImages(TfrmTypeObject& window, const _BlockContext& context) {
    _AppInterface& app = *window.App;
    const std::string text =
        context.RefusalId != 0
            ? app.Text(context.RefusalId, context.RefusalArgs[0], context.RefusalArgs[1])
            : app.Text(Msg::ExportUndefinedVersion, std::string(app.ModelVersion.GetText()));
    ShowMessageBox(&window, text, TMsgIcon::Stop);
}

bool AskYesNo(QWidget* owner, const std::string& text) {
    return ShowMessageBox(owner, text, TMsgIcon::Warning, TMsgButtons::YesNo) == QMessageBox::Yes;
}

}  // namespace

void AddWriteBlockCommands(TCommCmdList& commands, TQXBlockMemList& blocks, const std::string& caption) {
    for (int32_t i = 0; i < blocks.Count(); ++i) {
        TQXBlockMem* block = blocks.Get(i);
        if (!block) continue;
        _CommCmd* command = commands.Add();
        command->Service = csWriteBlock;
        command->Caption = caption;
        command->Data = block;
    }
}

void AddDeleteTypeCommand(TCommCmdList& commands, const std::string& caption, const std::string& typeName) {
    _CommCmd* command = commands.Add();
    command->Service = csDeleteType;
    command->Caption = caption;
    command->Name = typeName + std::string(DeleteNamePadding, ' ');
}

void AddReadBlockListCommand(TCommCmdList& commands, const std::string& caption, TQXBlockMemList& blocks) {
    _CommCmd* command = commands.Add();
    command->SuperService = cssReadBlockDescrList;
    command->Caption = caption;
    command->Data = &blocks;
}

bool IsTypeDataBlock(const TQXBlockMem* block, const _BlockContext& context, std::string_view typeName) {
    if (!block) return false;
    std::string name, owner;
    if (!GetTableBlockNames(block, context, name, owner) && !GetTypeBlockNames(block, context, name, owner))
        return false;
    // The name at offset 17 says whose data a block holds: a table's owner,
    // or the type itself in a Parameters Data block, whose first name is the
    // type's as well. A table that happens to carry the type's name belongs
    // to another type; a type's block naming another type is none of ours.
    // A type name standing with blanks around it matches as the blocks
    // carry it, blank-padded.
    const std::string wanted = TrimBlockName(typeName);
    switch (block->Header[0]) {
    case KindParametersData: return TrimBlockName(name) == wanted && TrimBlockName(owner) == wanted;
    case KindTableData: return TrimBlockName(owner) == wanted;
    default: return false;
    }
}

void SelectTypeDataBlocks(TQXBlockMemList& blocks, const _BlockContext& context, std::string_view typeName,
                          TCommCmdList& commands, const std::string& caption) {
    int32_t i = 0;
    while (i < blocks.Count()) {
        TQXBlockMem* block = blocks.Get(i);
        if (!IsTypeDataBlock(block, context, typeName)) {
            blocks.Delete(i);
            continue;
        }
        _CommCmd* command = commands.Add();
        command->Service = csReadBlock;
        command->Caption = caption;
        command->Data = block;
        ++i;
    }
}

void DownloadType(TfrmTypeObject& window) {
    if (!window.TypeData) return;
    _AppInterface& app = *window.App;
    TTypeObjectData& type = *window.TypeData;
    window.HideEditors();

    if (type.GetTypeName().empty()) {
        std::string answer;
        if (!PromptTypeName(window, answer)) return;
        // Blanks around the answer are no part of the name, also where the
        // name is cut to its 16 characters; an answer of blanks changes
        // nothing.
        const std::string name = TrimBlockName(TrimBlockName(answer).substr(0, TypeNameLength));
        if (name.empty()) {
            ShowMessageBox(&window, app.Text(Msg::UnnamedTypeNotDownloaded), TMsgIcon::Stop);
            return;
        }
        type.SetTypeName(name);
        window.Refresh(true);
    }

    int32_t language1 = 0, language2 = 0;
    if (TfrmLanguageSelect::Execute(&app, type, &language1, &language2) != 1) return;

    const std::string typeName = type.GetTypeName();
    const std::string writing = app.Text(Msg::WritingType, typeName);
    TCommCmdList commands;
    TQXBlockMemList blocks;
    for (int attempt = 1; attempt <= 2; ++attempt) {
        if (ParseModelVersion(app.ModelVersion.GetText()) < 0) app.ModelVersion.SetText(VersionText);
        blocks.Clear();
        _BlockContext context = BlockContext(app);
        if (!type.SaveToBlocks(blocks, context, language1, language2)) {
            ReportNoImages(window, context);
            break;
        }
        _CommResult written;
        for (;;) {
            commands.Clear();
            AddWriteBlockCommands(commands, blocks, writing);
            // The blocks were built for the model above: the unit must have it.
            RunOnUnit(&window, app, commands, {.KeepModel = true, .Quiet = true}, &written);
            if (written.ErrorCode != ceBlockExists) break;
            if (!AskYesNo(&window, app.Text(Msg::TypeExistsOverwrite, typeName))) break;
            commands.Clear();
            AddDeleteTypeCommand(commands, app.Text(Msg::DeletingType) + " " + typeName, typeName);
            if (!RunOnUnit(&window, app, commands)) break;
        }
        if (written.ErrorCode != ceModelDiffers) break;
        if (attempt == 2)
            ShowMessageBox(&window, app.Text(Msg::ExportUndefinedVersion, std::string(app.ModelVersion.GetText())),
                           TMsgIcon::Stop);
    }
    if (app.OnBlocksChanged) app.OnBlocksChanged(&window);
}

void UploadType(TfrmTypeObject& window) {
    if (!window.TypeData) return;
    _AppInterface& app = *window.App;
    TTypeObjectData& type = *window.TypeData;
    const std::string typeName = type.GetTypeName();

    TCommCmdList commands;
    TQXBlockMemList blocks;
    AddReadBlockListCommand(commands, app.Text(Msg::ReadingBlockDescriptions), blocks);
    if (!RunOnUnit(&window, app, commands)) return;

    commands.Clear();
    SelectTypeDataBlocks(blocks, BlockContext(app), typeName, commands,
                         app.Text(Msg::UploadingBlock) + " " + typeName);
    if (commands.Count() == 0) {
        ShowMessageBox(&window, app.Text(Msg::TypeDataNotFound, typeName), TMsgIcon::Information);
        return;
    }
    if (commands.Count() != type.GetTableCount() + 1) {
        ShowMessageBox(&window, app.Text(Msg::IncompatibleTypeData, typeName), TMsgIcon::Information);
        return;
    }
    if (!RunOnUnit(&window, app, commands)) return;

    const _BlockContext context = BlockContext(app);
    if (!type.LoadDataSetFromBlocks(blocks, context, false)) {
        ShowMessageBox(&window, app.Text(Msg::IncompatibleTypeData, typeName), TMsgIcon::Information);
        return;
    }
    const std::string count = std::to_string(type.GetTableCount() + 1);
    if (ShowMessageBox(app.MainForm, app.Text(Msg::DataSetExistsOverwrite, typeName, count), TMsgIcon::Warning,
                       TMsgButtons::YesNo) != QMessageBox::Yes)
        return;
    if (type.LoadDataSetFromBlocks(blocks, context, true)) {
        window.Modified = true;
        window.Refresh(false);
    }
}
