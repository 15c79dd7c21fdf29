// helpshots: the manual's pictures, made from the real windows.
//
//   helpshots <folder>
//
// Starts the main window offscreen with a simulated QX318 unit on COM1 (in
// expert mode, with settings of its own in a temporary folder), opens a demo
// type, sends it to the unit, opens the unit's windows, refreshes them and
// saves each window as a PNG file into the folder. The pictures are kept
// small: at most 256 colours.
#include <QApplication>
#include <QDir>
#include <QImage>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "AppIcon.h"
#include "AppConfig.h"
#include "AppFolders.h"
#include "BinaryEditBar.h"
#include "CommDriver.h"
#include "DebugForm.h"
#include "Dialogs.h"
#include "GamesManager.h"
#include "Convert.h"
#include "Images.h"
#include "LanguageSelect.h"
#include "Main.h"
#include "Managers.h"
#include "MemView.h"
#include "MemViewText.h"
#include "MemoryManager.h"
#include "ProgramManager.h"
#include "QXMenuForm.h"
#include "SimUnit.h"
#include "SimUnitServices.h"
#include "Tabledata.h"
#include "TypeObject.h"
#include "TypePrint.h"
#include "TypeTransfer.h"
#include "TypeWindow.h"
#include "Typedata.h"

namespace {

QString Folder;
bool Failed = false;

void Settle(int ms = 150) {
    QApplication::processEvents();
    QTimer wait;
    wait.setSingleShot(true);
    wait.start(ms);
    while (wait.isActive()) QApplication::processEvents(QEventLoop::AllEvents, 20);
}

void Save(QWidget* window, const char* name) {
    Settle();
    QImage shot = window->grab().toImage().convertToFormat(QImage::Format_RGB32);
    shot = shot.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither | Qt::AutoColor);
    const QString path = Folder + QLatin1Char('/') + QLatin1String(name);
    if (!shot.save(path, "PNG", 0)) {
        std::fprintf(stderr, "helpshots: cannot write %s\n", qPrintable(path));
        Failed = true;
        return;
    }
    std::printf("helpshots: %s %dx%d\n", qPrintable(path), shot.width(), shot.height());
}

template <class T>
T* Find(TfrmQX318MainForm& main) {
    for (TMDICustomChild* w : main.DocumentWindows())
        if (auto* found = qobject_cast<T*>(w)) return found;
    return nullptr;
}

// Opens a window of the unit through the main window's command, reads the
// unit into it and saves it, at the given size (or its own).
template <class T>
void ShootRefreshed(TfrmQX318MainForm& main, QAction* open, QAction* T::*refresh, QSize size, const char* name) {
    open->trigger();
    T* window = Find<T>(main);
    if (!window) {
        std::fprintf(stderr, "helpshots: no window for %s\n", name);
        Failed = true;
        return;
    }
    (window->*refresh)->trigger();
    Settle();
    if (size.isValid()) window->resize(size);
    Save(window, name);
}

// A pump controller's type: two languages, six parameters, the switches and
// two tables.
void FillDemoType(TTypeObjectData& object) {
    object.SetTypeName("PUMP");
    TTypeData6& type = object.GetTypeData();
    type.SetLanguageCount(2);
    type.GetLanguage(0)->SetName("English");
    type.GetLanguage(1)->SetName("Deutsch");
    const char* switches[] = {"Fan", "Alarm relay", "Heater", "Dry-run guard"};
    for (int i = 0; i < 4; ++i) type.GetLanguage(0)->SetSwitchText(i, switches[i]);
    struct Parameter {
        const char *Text, *German, *Units;
        uint16_t Min, Max, Value;
    } parameters[] = {{"P1 Speed", "P1 Drehzahl", "rpm", 10, 3000, 1450},
                      {"P2 Start delay", "P2 Startverz.", "s", 0, 600, 5},
                      {"P3 Pressure max", "P3 Druck max", "bar", 0, 160, 60},
                      {"P4 Pressure min", "P4 Druck min", "bar", 0, 160, 12},
                      {"P5 Run-on time", "P5 Nachlauf", "s", 0, 900, 30},
                      {"P6 Address", "P6 Adresse", "", 1, 247, 1}};
    type.SetParameterCount(6);
    for (int i = 0; i < 6; ++i) {
        type.SetParamNameRaw(i, 0, parameters[i].Text);
        type.SetParamNameRaw(i, 1, parameters[i].German);
        type.GetParamFormat(i)->SetUnits(parameters[i].Units);
        type.GetParamFormat(i)->Min = parameters[i].Min;
        type.GetParamFormat(i)->Max = parameters[i].Max;
        type.SetValue(i, 0, parameters[i].Value);
    }
    type.SetSwitchMask(0, 0x0005);
    TTableData* curve = object.AddTable();
    curve->SetName("Curve");
    curve->SetFieldCount(3);
    const char* fields[] = {"Step", "Speed", "Pressure"};
    const uint8_t sizes[] = {1, 2, 2};
    for (int f = 0; f < 3; ++f) {
        curve->GetField(f)->SetName(fields[f]);
        curve->GetField(f)->Size = sizes[f];
    }
    curve->SetRowCount(5);
    for (int r = 0; r < 5; ++r) {
        curve->SetValue(0, r, 0, r + 1);
        curve->SetValue(0, r, 1, 600 + 500 * r);
        curve->SetValue(0, r, 2, 10 + 12 * r);
    }
    TTableData* alarms = object.AddTable();
    alarms->SetName("Alarms");
    alarms->SetFieldCount(2);
    alarms->GetField(0)->SetName("Code");
    alarms->GetField(0)->Size = 1;
    alarms->GetField(1)->SetName("Delay");
    alarms->GetField(1)->Size = 2;
    alarms->SetRowCount(3);
    for (int r = 0; r < 3; ++r) {
        alarms->SetValue(0, r, 0, 10 + r);
        alarms->SetValue(0, r, 1, 5 * (r + 1));
    }
}

std::vector<uint8_t> Pattern(size_t size, uint8_t seed) {
    std::vector<uint8_t> bytes(size);
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(seed + i * 7);
    return bytes;
}

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    if (argc != 2) {
        std::fprintf(stderr, "usage: helpshots <folder>\n");
        return 2;
    }
    QTemporaryDir home;
    const std::string root = home.path().toStdString();
    setenv("XDG_DATA_HOME", (root + "/data").c_str(), 1);
    setenv("QX318_REGISTRY", (root + "/registry.ini").c_str(), 1);
    std::ofstream(root + "/registry.ini") << "[Software\\KVOZ]\r\nKVOZ=KVOZ\r\n";

    QApplication application(argc, argv);
    QApplication::setApplicationName("QX318Utility");
    Folder = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    SetProgramPathForTests(QX_PROGRAM_DIR "/QX318Utility");
    SetUpIconTheme();
    SetUpProgramIcon();
    RegisterManagers();
    RegisterTypeEditor();
    TDialogAnswers::Set<TMessageBoxDialog>([](const TMessageRequest& r) {
        return r.Buttons == TMsgButtons::Ok ? QMessageBox::Ok : QMessageBox::Yes;
    });
    TDialogAnswers::Set<TInputQueryDialog>([](const TInputRequest&, std::string&) { return false; });
    TDialogAnswers::Set<TfrmLanguageSelect>([](TfrmLanguageSelect& d) {
        d.btnOk->click();
        return d.result();
    });
    bool errorShown = false;
    TDialogAnswers::Set<TfrmDebugForm>([&](TfrmDebugForm& form) {
        if (!errorShown) {
            form.show();
            Save(&form, "error.png");
            errorShown = true;
        }
        return int32_t{caAbort};
    });

    SimUnit sim;
    SimUnitServices unit{sim};
    unit.PutProgram(0, "PUMPCTRL", Pattern(41000, 3));
    unit.PutProgram(2, "DISPLAY", Pattern(12000, 5));
    unit.PutProgram(3, "MODBUS", Pattern(9000, 9));
    const std::string text = "QX318 V2.7 demo unit. PUMP 1450 rpm, 60 bar. ";
    std::vector<uint8_t> memory;
    while (memory.size() < 256) memory.insert(memory.end(), text.begin(), text.end());
    memory.resize(384);
    unit.SetMemory(MemStartAddress, memory);
    MapComPorts({{1, &sim}});

    {
        TfrmQX318MainForm main(nullptr, std::string());
        main.setWindowState(Qt::WindowNoState);
        main.resize(1000, 700);
        main.show();
        main.App.ComPort = 1;
        Settle(1800);  // the splash closes

        TTypeObjectData demo(main.App.DisplayFormats);
        FillDemoType(demo);
        // Opened by a name of its own folder, so that the caption shows no
        // temporary folder.
        QDir::setCurrent(home.path());
        const std::string typeFile = "pump.mtp";
        if (!demo.SaveToFile(typeFile)) {
            std::fprintf(stderr, "helpshots: cannot write the demo type\n");
            return 1;
        }
        auto* type = qobject_cast<TfrmTypeObject*>(main.OpenFileByExtension(typeFile));
        if (!type) {
            std::fprintf(stderr, "helpshots: the demo type did not open\n");
            return 1;
        }
        type->actDownloadType->trigger();
        ShootRefreshed<TfrmManager>(main, main.actMemoryManager, &TfrmManager::actRefresh, {340, 420}, "memory.png");
        ShootRefreshed<TfrmProgramManager>(main, main.actProgramManager, &TfrmProgramManager::actRefresh, {},
                                           "programs.png");
        ShootRefreshed<TfrmMemView>(main, main.actMemView, &TfrmMemView::actRefreshPage, {640, 420}, "memview.png");
        ShootRefreshed<TfrmGamesManager>(main, main.actGamesManager, &TfrmGamesManager::actRefresh, {}, "apps.png");
        main.actConvert->trigger();
        for (TMDICustomChild* w : main.DocumentWindows())
            if (auto* c = qobject_cast<TfrmConvert*>(w)) {
                c->Memo1->setPlainText(QStringLiteral("0x05DC;0x0032;0xFFF6\n0x1A 0x2B 0x3C 0x4D\n$7FFF, $8000"));
                c->actHexDec->trigger();
                c->resize(460, 300);
                Save(w, "convert.png");
            }
        main.actMenuManager->trigger();
        if (auto* menu = Find<TfrmQXMenu>(main)) {
            menu->actShowOrgName->trigger();
            menu->resize(700, 480);
            Save(menu, "menu.png");
            menu->close();
        }
        for (TMDICustomChild* w : main.DocumentWindows())
            if (w->Kind == KindGamesManager || w->Kind == KindConvert || w->Kind == KindMemoryViewer) w->close();
        Settle();

        main.ClientArea->setActiveSubWindow(type);
        type->showNormal();
        type->resize(760, 460);
        Save(type, "type.png");
        // The type window beside the unit's blocks, the Program Manager below.
        const QSize area = main.ClientArea->viewport()->size();
        const int left = area.width() * 62 / 100, top = area.height() * 58 / 100;
        if (auto* m = Find<TfrmManager>(main)) m->setGeometry(left, 0, area.width() - left, top);
        if (auto* p = Find<TfrmProgramManager>(main)) p->setGeometry(0, top, area.width(), area.height() - top);
        type->setGeometry(0, 0, left, top);
        main.ClientArea->setActiveSubWindow(type);
        Save(&main, "main.png");

        {
            // A dialog's frame is the window manager's and no grab shows it:
            // the bar is shown in a document window's frame instead, whose
            // title bar shows its caption as the dialog's does.
            QMdiArea area;
            area.resize(600, 200);
            auto* bar = new TfrmBinaryEditBar(nullptr, 16, 0x0405);
            QMdiSubWindow* framed = area.addSubWindow(
                bar, Qt::SubWindow | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
            area.show();
            framed->show();
            framed->adjustSize();
            Save(framed, "binary.png");
        }
        {
            TfrmTypeObjectPrint report(&main.App, *type->TypeData, "pump.mtp", 0);
            report.resize(720, 560);
            report.show();
            Settle(1200);  // the report is made after half a second
            Save(&report, "report.png");
        }
        {
            TfrmAppConfig config(&main.App);
            config.show();
            Save(&config, "config.png");
        }

        // A refusal by the unit, to show the error dialog.
        sim.SetFaultPolicy([](const SimUnit::Request& r) -> std::optional<SimUnit::Fault> {
            if (r.Fnc == 0xC3) return std::nullopt;
            SimUnit::Fault f;
            f.Refuse = 3;
            return f;
        });
        if (auto* p = Find<TfrmProgramManager>(main)) p->actRefresh->trigger();
        Settle();
        sim.SetFaultPolicy(nullptr);
        if (!errorShown) {
            std::fprintf(stderr, "helpshots: the error dialog did not show\n");
            Failed = true;
        }
        for (TMDICustomChild* w : main.DocumentWindows())
            if (auto* t = qobject_cast<TfrmTypeObject*>(w)) t->Modified = false;
    }
    ClearComPorts();
    return Failed ? 1 : 0;
}
