// Names for the ids of the built-in message table (Messages.cpp), grouped as
// the table is. Code fetches a message by its name, never by a bare number.
#pragma once

#include <cstdint>

namespace Msg {
// General and files.
constexpr uint32_t SaveChanges = 1000;
constexpr uint32_t CannotSaveFile = 1001;
constexpr uint32_t FileExistsReplace = 1002;
constexpr uint32_t DataSetExistsOverwrite = 1004;
constexpr uint32_t RestartForToolbarMode = 1005;
constexpr uint32_t ReportNoLanguage = 1006;
constexpr uint32_t ReportFileNotFound = 1007;
constexpr uint32_t ReportTempFileFailed = 1008;
constexpr uint32_t MenuEdit = 1009;
constexpr uint32_t DeleteConfirm = 1010;
constexpr uint32_t Connected = 1011;
constexpr uint32_t CannotOpenFile = 1012;
constexpr uint32_t MenuSave = 1013;
constexpr uint32_t MenuSaveAs = 1014;
constexpr uint32_t MenuPrint = 1015;
constexpr uint32_t MenuExport = 1016;
constexpr uint32_t Untitled = 1018;
constexpr uint32_t Modified = 1019;
constexpr uint32_t RestartForLanguage = 1020;
constexpr uint32_t EnglishDefault = 1021;
constexpr uint32_t SettingsResetAtStartup = 1022;
constexpr uint32_t ReportFile = 1023;
constexpr uint32_t WrongFormatOrCorrupt = 1029;

// Type editor commands.
constexpr uint32_t SaveType = 3010;
constexpr uint32_t PrintType = 3011;

// Block tree of the memory manager.
constexpr uint32_t BlockTreeRoot = 4000;
constexpr uint32_t BlockTreeType = 4001;
constexpr uint32_t BlockTreeTable = 4002;
constexpr uint32_t BlockTreeParameters = 4004;
constexpr uint32_t BlockTreeSet = 4005;
constexpr uint32_t BlockTreeUnknown = 4006;

// Memory manager, memory viewer and program manager.
constexpr uint32_t ReadingBlockDescriptions = 4200;
constexpr uint32_t UploadingBlock = 4202;
constexpr uint32_t DeletingType = 4206;
constexpr uint32_t TypeDeleted = 4207;
constexpr uint32_t ReadMemory = 4400;
constexpr uint32_t QXNotConnected = 4500;
constexpr uint32_t PressRefreshToConnect = 4501;
constexpr uint32_t FileSize = 4502;
constexpr uint32_t SegmentSize = 4503;
constexpr uint32_t ReadProgramStatus = 4504;
constexpr uint32_t DownloadProgram = 4505;
constexpr uint32_t DeleteProgramConfirm = 4506;
constexpr uint32_t DeleteProgram = 4507;
constexpr uint32_t ShortcutMenu = 4508;
constexpr uint32_t ShortcutNotAssigned = 4509;
constexpr uint32_t ShortcutEdit = 4510;
constexpr uint32_t ProgramDownloaded = 4511;
constexpr uint32_t ProgramDeleted = 4512;

// Type editor: captions of the tree, the grid and the report.
constexpr uint32_t CaptionParameters = 5000;
constexpr uint32_t CaptionType = 5001;
constexpr uint32_t CaptionConfiguration = 5002;
constexpr uint32_t CaptionLanguage = 5003;
constexpr uint32_t CaptionTable = 5004;
constexpr uint32_t CaptionName = 5005;
constexpr uint32_t CaptionFunction = 5006;
constexpr uint32_t CaptionBlock = 5007;
constexpr uint32_t CaptionCfg = 5008;
constexpr uint32_t CaptionRows = 5009;
constexpr uint32_t CaptionFields = 5010;
constexpr uint32_t CaptionField = 5011;
constexpr uint32_t CaptionSize = 5012;
constexpr uint32_t CaptionUnits = 5013;
constexpr uint32_t CaptionLevel = 5014;

// Type editor: values refused by the tree editors.
constexpr uint32_t WrongFunction = 5015;
constexpr uint32_t WrongBlock = 5016;
constexpr uint32_t WrongLevel = 5018;
constexpr uint32_t WrongRowsCount = 5019;
constexpr uint32_t WrongFieldsCount = 5020;

// Type editor: grid captions.
constexpr uint32_t CaptionNr = 5021;
constexpr uint32_t CaptionText = 5022;
constexpr uint32_t CaptionValue = 5023;
constexpr uint32_t CaptionMin = 5024;
constexpr uint32_t CaptionMax = 5025;
constexpr uint32_t CaptionValueUnits = 5026;
constexpr uint32_t CaptionFlag = 5027;
constexpr uint32_t CaptionLanguageColumn = 5028;

// Type editor: commands, files and the unit.
constexpr uint32_t InputLanguageName = 5029;
constexpr uint32_t WritingType = 5030;
constexpr uint32_t CannotImportType = 5031;
constexpr uint32_t CannotOpenTypeFile = 5032;
constexpr uint32_t InputTableName = 5033;
constexpr uint32_t CaptionFieldsInfo = 5034;
constexpr uint32_t InputTypeName = 5035;
constexpr uint32_t UnnamedTypeNotDownloaded = 5036;
constexpr uint32_t TypeExistsOverwrite = 5037;
constexpr uint32_t TableExists = 5038;
constexpr uint32_t InvalidTableName = 5039;
constexpr uint32_t CaptionPar = 5040;
constexpr uint32_t ExportUndefinedVersion = 5041;
constexpr uint32_t DeleteTypeLanguageConfirm = 5042;
constexpr uint32_t TypeDataNotFound = 5043;
constexpr uint32_t IncompatibleTypeData = 5044;

// Type editor: the first list of eight flag-bit names (Flag1Signed + bit).
constexpr uint32_t Flag1Signed = 5045;
constexpr uint32_t Flag1F1 = 5046;
constexpr uint32_t Flag1F2 = 5047;
constexpr uint32_t Flag1F3 = 5048;
constexpr uint32_t Flag1F4 = 5049;
constexpr uint32_t Flag1F5 = 5050;
constexpr uint32_t Flag1F6 = 5051;
constexpr uint32_t Flag1F7 = 5052;

// Type editor: the second list of eight flag-bit names (Flag2SwapBytes + bit).
constexpr uint32_t Flag2SwapBytes = 5053;
constexpr uint32_t Flag2RoutingTable = 5054;
constexpr uint32_t Flag2TableIndex = 5055;
constexpr uint32_t Flag2F3 = 5056;
constexpr uint32_t Flag2F4 = 5057;
constexpr uint32_t Flag2F5 = 5058;
constexpr uint32_t Flag2F6 = 5059;
constexpr uint32_t Flag2F7 = 5060;

// Type editor: overwrite, export and unit limits.
constexpr uint32_t OverwriteParametersConfirm = 5071;
constexpr uint32_t ExportErrors = 5080;
constexpr uint32_t TooManyBlockParameters = 5081;
constexpr uint32_t TableBlockTooLarge = 5082;

// Communication log.
constexpr uint32_t LogReadDataStarted = 9000;
constexpr uint32_t LogUploadComplete = 9001;
constexpr uint32_t LogMemoryAccessError = 9002;
constexpr uint32_t LogWriteNak = 9003;
constexpr uint32_t LogServiceTimeout = 9004;
constexpr uint32_t LogServiceError = 9005;
constexpr uint32_t LogTriesRemaining = 9006;
constexpr uint32_t LogUploaded = 9007;
constexpr uint32_t LogStartAddress = 9008;
constexpr uint32_t LogAddress = 9009;
constexpr uint32_t LogWriteDataStarted = 9010;
constexpr uint32_t LogDownloaded = 9011;
constexpr uint32_t LogDownloadComplete = 9012;
constexpr uint32_t LogPacketsCount = 9013;
constexpr uint32_t LogFileDescriptionSent = 9014;
constexpr uint32_t LogDataPacketSent = 9015;
constexpr uint32_t LogCrcPacketSent = 9016;
constexpr uint32_t LogWriteSRecStarted = 9017;
constexpr uint32_t LogFileName = 9018;
constexpr uint32_t LogFileOpenError = 9019;
constexpr uint32_t LogWriteSRecNak = 9020;
constexpr uint32_t LogFileDownloaded = 9021;
constexpr uint32_t LogFileDownloadComplete = 9022;
constexpr uint32_t LogClearSRecStarted = 9023;
constexpr uint32_t LogSRecNumber = 9024;
constexpr uint32_t LogSRecFileName = 9025;
constexpr uint32_t LogClearSRecNak = 9026;
constexpr uint32_t LogFileCleared = 9027;
constexpr uint32_t LogReadSRecStatusStarted = 9028;
constexpr uint32_t LogWrongStatusPacket = 9029;
constexpr uint32_t LogSRecStatusRead = 9030;
constexpr uint32_t LogReadBlockDescrStarted = 9031;
constexpr uint32_t LogBlockDescrRead = 9033;
constexpr uint32_t LogDeleteBlockStarted = 9034;
constexpr uint32_t LogDeleteBlockNak = 9035;
constexpr uint32_t LogBlockDeleted = 9036;
constexpr uint32_t LogBlockRequestSent = 9037;
constexpr uint32_t LogReadBlockStarted = 9038;
constexpr uint32_t LogReadBlockNak = 9039;
constexpr uint32_t LogAddressMismatch = 9040;
constexpr uint32_t LogBlockReceived = 9041;
constexpr uint32_t LogFcsPacketSent = 9042;
constexpr uint32_t LogWriteBlockStarted = 9043;
constexpr uint32_t LogWriteBlockNak = 9044;
constexpr uint32_t LogBlockDataSent = 9045;
constexpr uint32_t LogDeleteTypeStarted = 9046;
constexpr uint32_t LogDeleteTypeNak = 9047;
constexpr uint32_t LogTypeDeleted = 9048;
constexpr uint32_t LogSearchStarted = 9049;
constexpr uint32_t QXNotFound = 9050;
constexpr uint32_t QXFound = 9051;
constexpr uint32_t SearchingQX = 9052;

// Communication results: summary and error texts by error code.
constexpr uint32_t OperationsExecuted = 9200;
constexpr uint32_t CommunicationError = 9201;
constexpr uint32_t UnknownService = 9202;
constexpr uint32_t NoErrors = 9203;
constexpr uint32_t CommServiceError = 9204;
constexpr uint32_t CommTimeout = 9205;
constexpr uint32_t CannotOpenComPort = 9206;
constexpr uint32_t CannotAccessServiceMemory = 9207;
constexpr uint32_t CannotReadData = 9208;
constexpr uint32_t CannotWriteData = 9209;
constexpr uint32_t CannotSendSRec = 9210;
constexpr uint32_t CannotDeleteSRec = 9211;
constexpr uint32_t CannotReadBlockDescr = 9212;
constexpr uint32_t CannotDeleteBlock = 9213;
constexpr uint32_t CannotReadBlock = 9214;
constexpr uint32_t CannotWriteBlock = 9215;
constexpr uint32_t WrongBlockFcs = 9216;
constexpr uint32_t UnknownError = 9217;
constexpr uint32_t CannotDeleteType = 9218;

// Communication results: the unit's refusal reasons 2 to 15 (RefusedWrongFunction + reason - 2).
constexpr uint32_t RefusedWrongFunction = 9219;
constexpr uint32_t RefusedNoSpace = 9220;
constexpr uint32_t RefusedDataOverwrite = 9221;
constexpr uint32_t RefusedWrongData = 9222;
constexpr uint32_t RefusedWrongLines = 9223;
constexpr uint32_t RefusedProgrammingFailed = 9224;
constexpr uint32_t RefusedWrongFcs = 9225;
constexpr uint32_t RefusedFlashWrite = 9226;
constexpr uint32_t RefusedWrongDataLength = 9227;
constexpr uint32_t RefusedWrongSegment = 9228;
constexpr uint32_t RefusedBadFileName = 9229;
constexpr uint32_t RefusedWrongSRecData = 9230;
constexpr uint32_t RefusedWrongTypeDescriptor = 9231;
constexpr uint32_t RefusedWrongDataIndex = 9232;

// Communication results: refusal reason 1, under an id of its own.
constexpr uint32_t RefusedWrongAddress = 9233;

// Communication: menu and model checks.
constexpr uint32_t LogReadMemoryConfig = 9300;
constexpr uint32_t NoMemoryForLanguage = 9301;
constexpr uint32_t MenuSizeDiffers = 9302;
constexpr uint32_t MenuLanguageNotDeleted = 9303;
constexpr uint32_t ModelDiffers = 9304;

// Buttons of the communication error dialog.
constexpr uint32_t ButtonAbort = 10000;
constexpr uint32_t ButtonRetry = 10001;
constexpr uint32_t ButtonIgnore = 10002;
constexpr uint32_t ButtonOk = 10003;
constexpr uint32_t ButtonCancel = 10004;
constexpr uint32_t ButtonYes = 10005;
constexpr uint32_t ButtonNo = 10006;
constexpr uint32_t ButtonDetails = 10007;

// Import.
constexpr uint32_t ImportErrors = 13008;

// Menu editor and menu synchronisation.
constexpr uint32_t MenuEditorCaption = 20000;
constexpr uint32_t MenuCaptionNr = 20002;
constexpr uint32_t MenuCaptionRange = 20003;
constexpr uint32_t MenuCaptionText = 20004;
constexpr uint32_t WrongRange = 20005;
constexpr uint32_t CannotAddNode = 20006;
constexpr uint32_t CannotAddChildNode = 20007;
constexpr uint32_t CannotInsertNode = 20008;
constexpr uint32_t CannotDeleteNode = 20009;
constexpr uint32_t CannotOpenDefaultMenu = 20010;
constexpr uint32_t MenuCaptionOriginalText = 20011;
constexpr uint32_t ReplaceOriginalMenuConfirm = 20012;
constexpr uint32_t MenuStructureWarning = 20013;
constexpr uint32_t DeleteMenuLanguageConfirm = 20015;
constexpr uint32_t MenuConfigDownloaded = 20016;
constexpr uint32_t ReadingMenuLanguages = 20100;
constexpr uint32_t MenuLanguageExistsOverwrite = 20101;
constexpr uint32_t WritingMenuLanguage = 20102;
constexpr uint32_t DeletingMenuLanguage = 20103;
constexpr uint32_t WritingMenuConfig = 20104;

// Applications manager.
constexpr uint32_t ReadApplicationSlotStatus = 21000;
constexpr uint32_t NoMemoryForApplication = 21001;
constexpr uint32_t FileDoesNotExist = 21002;
constexpr uint32_t WrongHexFormat = 21003;
constexpr uint32_t DownloadingApplicationBlock = 21004;
constexpr uint32_t DeletingApplicationSlot = 21005;
constexpr uint32_t DeleteApplicationConfirm = 21006;
constexpr uint32_t ApplicationExistsOverwrite = 21007;
constexpr uint32_t ApplicationDownloaded = 21008;
constexpr uint32_t ApplicationDeleted = 21009;

// Every name above, in table order.
inline constexpr uint32_t AllIds[] = {
    SaveChanges, CannotSaveFile, FileExistsReplace, DataSetExistsOverwrite, RestartForToolbarMode,
    ReportNoLanguage, ReportFileNotFound, ReportTempFileFailed, MenuEdit, DeleteConfirm, Connected,
    CannotOpenFile, MenuSave, MenuSaveAs, MenuPrint, MenuExport, Untitled, Modified,
    RestartForLanguage, EnglishDefault, SettingsResetAtStartup, ReportFile, WrongFormatOrCorrupt,
    SaveType, PrintType, BlockTreeRoot, BlockTreeType, BlockTreeTable, BlockTreeParameters,
    BlockTreeSet, BlockTreeUnknown, ReadingBlockDescriptions, UploadingBlock, DeletingType,
    TypeDeleted, ReadMemory, QXNotConnected, PressRefreshToConnect, FileSize, SegmentSize,
    ReadProgramStatus, DownloadProgram, DeleteProgramConfirm, DeleteProgram, ShortcutMenu,
    ShortcutNotAssigned, ShortcutEdit, ProgramDownloaded, ProgramDeleted, CaptionParameters,
    CaptionType, CaptionConfiguration, CaptionLanguage, CaptionTable, CaptionName, CaptionFunction,
    CaptionBlock, CaptionCfg, CaptionRows, CaptionFields, CaptionField, CaptionSize, CaptionUnits,
    CaptionLevel, WrongFunction, WrongBlock, WrongLevel, WrongRowsCount, WrongFieldsCount,
    CaptionNr, CaptionText, CaptionValue, CaptionMin, CaptionMax, CaptionValueUnits, CaptionFlag,
    CaptionLanguageColumn, InputLanguageName, WritingType, CannotImportType, CannotOpenTypeFile,
    InputTableName, CaptionFieldsInfo, InputTypeName, UnnamedTypeNotDownloaded, TypeExistsOverwrite,
    TableExists, InvalidTableName, CaptionPar, ExportUndefinedVersion, DeleteTypeLanguageConfirm,
    TypeDataNotFound, IncompatibleTypeData, Flag1Signed, Flag1F1, Flag1F2, Flag1F3, Flag1F4,
    Flag1F5, Flag1F6, Flag1F7, Flag2SwapBytes, Flag2RoutingTable, Flag2TableIndex, Flag2F3, Flag2F4,
    Flag2F5, Flag2F6, Flag2F7, OverwriteParametersConfirm, ExportErrors, TooManyBlockParameters,
    TableBlockTooLarge, LogReadDataStarted, LogUploadComplete, LogMemoryAccessError, LogWriteNak,
    LogServiceTimeout, LogServiceError, LogTriesRemaining, LogUploaded, LogStartAddress, LogAddress,
    LogWriteDataStarted, LogDownloaded, LogDownloadComplete, LogPacketsCount,
    LogFileDescriptionSent, LogDataPacketSent, LogCrcPacketSent, LogWriteSRecStarted, LogFileName,
    LogFileOpenError, LogWriteSRecNak, LogFileDownloaded, LogFileDownloadComplete,
    LogClearSRecStarted, LogSRecNumber, LogSRecFileName, LogClearSRecNak, LogFileCleared,
    LogReadSRecStatusStarted, LogWrongStatusPacket, LogSRecStatusRead, LogReadBlockDescrStarted,
    LogBlockDescrRead, LogDeleteBlockStarted, LogDeleteBlockNak, LogBlockDeleted,
    LogBlockRequestSent, LogReadBlockStarted, LogReadBlockNak, LogAddressMismatch, LogBlockReceived,
    LogFcsPacketSent, LogWriteBlockStarted, LogWriteBlockNak, LogBlockDataSent,
    LogDeleteTypeStarted, LogDeleteTypeNak, LogTypeDeleted, LogSearchStarted, QXNotFound, QXFound,
    SearchingQX, OperationsExecuted, CommunicationError, UnknownService, NoErrors, CommServiceError,
    CommTimeout, CannotOpenComPort, CannotAccessServiceMemory, CannotReadData, CannotWriteData,
    CannotSendSRec, CannotDeleteSRec, CannotReadBlockDescr, CannotDeleteBlock, CannotReadBlock,
    CannotWriteBlock, WrongBlockFcs, UnknownError, CannotDeleteType, RefusedWrongFunction,
    RefusedNoSpace, RefusedDataOverwrite, RefusedWrongData, RefusedWrongLines,
    RefusedProgrammingFailed, RefusedWrongFcs, RefusedFlashWrite, RefusedWrongDataLength,
    RefusedWrongSegment, RefusedBadFileName, RefusedWrongSRecData, RefusedWrongTypeDescriptor,
    RefusedWrongDataIndex, RefusedWrongAddress, LogReadMemoryConfig, NoMemoryForLanguage,
    MenuSizeDiffers, MenuLanguageNotDeleted, ModelDiffers, ButtonAbort, ButtonRetry, ButtonIgnore,
    ButtonOk, ButtonCancel, ButtonYes, ButtonNo, ButtonDetails, ImportErrors, MenuEditorCaption,
    MenuCaptionNr, MenuCaptionRange, MenuCaptionText, WrongRange, CannotAddNode, CannotAddChildNode,
    CannotInsertNode, CannotDeleteNode, CannotOpenDefaultMenu, MenuCaptionOriginalText,
    ReplaceOriginalMenuConfirm, MenuStructureWarning, DeleteMenuLanguageConfirm,
    MenuConfigDownloaded, ReadingMenuLanguages, MenuLanguageExistsOverwrite, WritingMenuLanguage,
    DeletingMenuLanguage, WritingMenuConfig, ReadApplicationSlotStatus, NoMemoryForApplication,
    FileDoesNotExist, WrongHexFormat, DownloadingApplicationBlock, DeletingApplicationSlot,
    DeleteApplicationConfirm, ApplicationExistsOverwrite, ApplicationDownloaded, ApplicationDeleted,
};
}  // namespace Msg
