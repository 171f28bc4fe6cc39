#pragma once

// The one window of QUIRMEL: the key, pool and quantity boxes, GENERATE, the guarantee buttons
// with STOP and the filter stepper, the wheel listing with its counter, and the coverage report.
// Handlers read the boxes, call the engine and apply what it returns. The listing's and the
// report's context menus (and Ctrl+O, Ctrl+S, a dropped file) open, save and print wheels and
// reports.
//
// Re-entry: an analysis runs inside cmdGar_Click, and the events that arrive meanwhile are
// handled at its progress points, inside it. While it runs (analysisRunning()), whatever would
// change the wheel or the counts it reads does nothing: GENERATE, another guarantee button, the
// reset labels, and opening, saving or printing (their menu items are shown disabled). STOP, the
// filter stepper, CLEAR, the site link and closing the window still act; closing ends the run as a
// stop would.
//
// The wheel tools (Build wheel..., Replay past draws..., Show holes...) open only while no
// analysis runs, each in a dialog modal to the window: while one is open the window takes no
// input, so a tool's search and an analysis never run together and the wheel a tool works on
// cannot change under it. A tool's search runs on a thread of its own; closing its dialog stops
// it first.
//
// The current wheel is the one the guarantee buttons analyse: Save, Replay and Show holes take
// exactly that wheel, whatever the listing shows. CLEAR empties the listing and the report and
// leaves the wheel current; the reset of the inputs ends it (the buttons, Save and the tools then
// ask for a wheel first).

#include <QColor>
#include <QElapsedTimer>
#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "window/form/form.h"
#include "window/seams.h"
#include "window/ticket_print.h"

class QAction;
class QDialog;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPrinter;
class QPushButton;

namespace quirmel {

class BuildDialog;
class ClickLabel;
class Frame;

// The maker's web address, shown by the site link; a click opens it with "/" appended.
inline constexpr const char* kSiteAddress = "https://www.quirmel.example";

// The site link's text colour, and its colour under the pointer.
inline constexpr QRgb kLinkColour = 0x15414F;
inline constexpr QRgb kLinkHoverColour = 0xFF0000;

inline constexpr const char* kMsgDevelopFirst = "Sviluppare Testata..! ";
inline constexpr const char* kMsgInterrupted = "ELABORAZIONE INTERROTTA..!  ";

class frmAmain : public QWidget {
  Q_OBJECT

 public:
  explicit frmAmain(WheelState& state, WindowSeams seams = WindowSeams::Real(),
                    QWidget* parent = nullptr);
  ~frmAmain() override;

  bool analysisRunning() const { return analysisRunning_; }

  // What the user can do in the window. MayAct is the one gate every handler passes: while an
  // analysis runs, only what cannot change the wheel or the counts it reads acts (see above).
  enum class Action {
    Generate,
    Analyse,
    ResetInputs,
    Open,
    Save,
    SaveReport,
    Print,
    PrintTickets,
    ExportTickets,
    Build,
    Replay,
    Holes,
    ShowBuilt,
    Stop,
    StepFilter,
    Clear,
    SiteLink
  };
  bool MayAct(Action action) const;

  // Event handlers, named after their control and event.
  void Form_Load();
  void Form_MouseMove();
  void cmdElabora_Click();
  void cmdGar_Click(int16_t index);
  void cmdAbort_Click();
  void cmdMenoB_Click();
  void cmdPiuB_Click();
  void cmdClearAlll_Click();
  void Label1_Click(int16_t index);
  void txtChiave_GotFocus(int16_t index);
  void txtChiave_KeyPress(int16_t index, int16_t& keyAscii);
  void txtNumeri_KeyPress(int16_t& keyAscii);
  void txtCombinazioni_KeyPress(int16_t& keyAscii);
  void lblSito_Click();
  void lblSito_MouseMove();

  // Opens a wheel file as the state's wheel; false, after one message box naming the file and
  // the line, when it is refused (nothing changes then).
  bool OpenWheel(const QString& fileName);
  void OpenWheelChosen();  // asks for the file first
  void SaveWheelAs();
  void SaveReportAs();
  void PrintReport();
  void PrintTickets();
  void ExportTickets();
  // Prints what `paint` draws on the printer the user set up, or into its file: a part file
  // renamed over the target once whole; a failure is said, naming `what`.
  void Print(QPrinter& printer, const std::function<void(QPrinter&)>& paint, const QString& what);

  // The wheel tools, each in its own dialog (see the rule above).
  void OpenBuildDialog();
  void OpenReplayDialog();
  void OpenHolesDialog();
  // Puts a wheel into the listing as opening a file with it would; false, after a message box,
  // when the window cannot hold it.
  bool ShowWheel(const AnyWheel& wheel);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void BuildControls();
  void SetTabOrder();
  void ConnectHandlers();
  void ConnectFileActions();
  void ConnectToolActions();
  // The menu items and their shortcuts, on or off as MayAct says for what each does.
  void EnableActions();
  bool UseWheelText(std::string_view text, const QString& name);
  bool UseLoadedWheel(const WheelLoadResult& load, const QString& name, std::string_view text);
  void OpenTool(QDialog* dialog);
  std::optional<AnyWheel> WheelForTool(Action tool);
  void ShowListingMenu(const QPoint& at);
  void ShowReportMenu(const QPoint& at);
  // Writes `bytes` to `fileName` whole, or shows why not; true when written.
  bool WriteFile(const QString& fileName, const QByteArray& bytes, bool text);
  // An analysis of the state's wheel, as the design counts it or exactly (see cmdGar_Click): the
  // report of a finished run, nothing when it was stopped or refused.
  std::optional<std::string> AnalyseAsDesigned(int16_t index);
  std::optional<std::string> AnalyseExactly(int16_t index);
  void ReportAnalysis(const std::optional<std::string>& report);
  void StepFilterLevel(int step);
  void FocusKeyBox1();
  void SetSiteColour(QRgb colour);
  bool AnalysisProgress(int32_t subsetCount);
  void ShowCount(int32_t subsetCount);
  // The character code of a key press that types a character, or -1 for keys that do not.
  static int TypedCode(const QKeyEvent& event);
  bool FilterTypedKey(QObject* box, QKeyEvent& event);

  WheelState& state_;
  WindowSeams seams_;

  Frame* Frame2 = nullptr;
  Frame* Frame5 = nullptr;
  std::array<Frame*, 6> Frame1{};         // 0..5
  std::array<ClickLabel*, 3> Label1{};    // 0..2
  std::array<QLineEdit*, 7> txtChiave{};  // 1..6; element 0 unused
  QLineEdit* txtNumeri = nullptr;
  QLineEdit* txtCombinazioni = nullptr;
  QPushButton* cmdElabora = nullptr;
  std::array<QPushButton*, 7> cmdGar{};  // 2..6; elements 0 and 1 unused
  QPushButton* cmdAbort = nullptr;
  QPushButton* cmdMenoB = nullptr;
  QLabel* lblGarFlag = nullptr;
  QPushButton* cmdPiuB = nullptr;
  QPlainTextEdit* txtReport = nullptr;
  QLabel* Image1 = nullptr;
  ClickLabel* lblSito = nullptr;
  QPlainTextEdit* txtLista = nullptr;
  QLabel* lblCt = nullptr;
  QPushButton* cmdClearAlll = nullptr;

  QAction* openWheelAction = nullptr;
  QAction* saveWheelAction = nullptr;
  QAction* saveReportAction = nullptr;
  QAction* printAction = nullptr;
  QAction* printTicketsAction = nullptr;
  QAction* exportTicketsAction = nullptr;
  QAction* buildAction = nullptr;
  QAction* replayAction = nullptr;
  QAction* holesAction = nullptr;
  BuildDialog* buildDialog_ = nullptr;  // kept, with its last wheel, while the window lives
  // Where the current wheel came from: GENERATE develops it (the design's analysis counts it);
  // a file or the Build dialog gives it (exact counts), and a built one is printed with what it
  // was built for (its tickets' head).
  enum class WheelOrigin { Developed, Opened, Built };
  WheelOrigin origin_ = WheelOrigin::Developed;
  TicketsFor builtFor_;

  bool analysisRunning_ = false;
  bool closeAfterAnalysis_ = false;
  QElapsedTimer sinceLastTurn_;  // time since the window last had a turn during an analysis
  bool centred_ = false;
};

}  // namespace quirmel
