// The wheel tools: Build wheel... (Ctrl+B) and Replay past draws... (Ctrl+D) from the listing's
// context menu, Show holes... (Ctrl+H) from the report's. Each opens in a dialog of its own, modal
// to the window (see the rule in frm_amain.h).

#include <QAction>
#include <QLineEdit>

#include "window/build_dialog.h"
#include "window/frm_amain.h"
#include "window/holes_dialog.h"
#include "window/replay_dialog.h"

namespace quirmel {

void frmAmain::ConnectToolActions() {
  buildAction = new QAction("Build wheel...", this);
  buildAction->setShortcut(Qt::CTRL | Qt::Key_B);
  replayAction = new QAction("Replay past draws...", this);
  replayAction->setShortcut(Qt::CTRL | Qt::Key_D);
  holesAction = new QAction("Show holes...", this);
  holesAction->setShortcut(Qt::CTRL | Qt::Key_H);
  for (QAction* action : {buildAction, replayAction, holesAction}) {
    action->setShortcutContext(Qt::WindowShortcut);
    addAction(action);
  }
  connect(buildAction, &QAction::triggered, this, [this] { OpenBuildDialog(); });
  connect(replayAction, &QAction::triggered, this, [this] { OpenReplayDialog(); });
  connect(holesAction, &QAction::triggered, this, [this] { OpenHolesDialog(); });
}

void frmAmain::OpenTool(QDialog* dialog) {
  dialog->show();
  dialog->raise();
  dialog->activateWindow();
}

void frmAmain::OpenBuildDialog() {
  if (!MayAct(Action::Build)) return;
  if (buildDialog_ == nullptr) {
    buildDialog_ = new BuildDialog(
        seams_,
        [this](const AnyWheel& wheel, const TicketsFor& made) {
          if (!ShowWheel(wheel)) return false;
          origin_ = WheelOrigin::Built;
          builtFor_ = made;
          return true;
        },
        this);
  }
  // The key boxes give the row size and the pool box the player's numbers 1..N.
  int keys = 0;
  for (int index = 1; index <= 6; ++index)
    keys += txtChiave[index]->text().isEmpty() ? 0 : 1;
  buildDialog_->Prefill(txtNumeri->text(), keys);
  OpenTool(buildDialog_);
}

// The current wheel for a tool; without one, the guarantee buttons' message and nothing.
std::optional<AnyWheel> frmAmain::WheelForTool(Action tool) {
  if (!MayAct(tool)) return std::nullopt;
  AnyWheel wheel = StateWheel(state_);
  if (wheel.rowCount() > 0) return wheel;
  seams_.showError(this, kMsgDevelopFirst);
  return std::nullopt;
}

void frmAmain::OpenReplayDialog() {
  std::optional<AnyWheel> wheel = WheelForTool(Action::Replay);
  if (!wheel) return;
  auto* dialog = new ReplayDialog(seams_, std::move(*wheel), this);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  OpenTool(dialog);
}

void frmAmain::OpenHolesDialog() {
  std::optional<AnyWheel> wheel = WheelForTool(Action::Holes);
  if (!wheel) return;
  // The pool of the pool box; without one, the wheel's own numbers.
  const int pool = ReadBoxValue(txtNumeri->text().toStdString()).value_or(wheel->LargestNumber());
  auto* dialog = new HolesDialog(seams_, std::move(*wheel), pool, state_.filterLevel, this);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  OpenTool(dialog);
}

bool frmAmain::ShowWheel(const AnyWheel& wheel) {
  if (!MayAct(Action::ShowBuilt)) return false;
  return UseLoadedWheel(LoadWheel(wheel), QStringLiteral("The built wheel"), {});
}

}  // namespace quirmel
