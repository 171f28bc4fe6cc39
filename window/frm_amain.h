#pragma once

// The one window of QUIRMEL: the key, pool and quantity boxes, GENERATE, the guarantee buttons
// with STOP and the filter stepper, the wheel listing with its counter, and the coverage report.
// Handlers read the boxes, call the engine and apply what it returns.

#include <QColor>
#include <QElapsedTimer>
#include <QWidget>
#include <array>
#include <cstdint>

#include "engine/engine.h"
#include "window/seams.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace quirmel {

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

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void BuildControls();
  void SetTabOrder();
  void ConnectHandlers();
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

  bool analysisRunning_ = false;
  bool closeAfterAnalysis_ = false;
  QElapsedTimer sinceLastTurn_;  // time since the window last had a turn during an analysis
  bool centred_ = false;
};

}  // namespace quirmel
