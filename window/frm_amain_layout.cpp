// The window's controls: kind, name, container, position, size, font, colours and tab order.
// Positions are pixels from the top-left corner of the container (a frame's outer corner).

#include <QApplication>
#include <QIcon>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QShowEvent>

#include "window/controls.h"
#include "window/fonts.h"
#include "window/frm_amain.h"

// The artwork is compiled into this static library; it must be registered before use.
static void RegisterArtwork() {
  Q_INIT_RESOURCE(resources);
}

namespace quirmel {

namespace {

const QColor kSurface("#C0C0C0");
const QColor kButtonFace("#E0E0E0");
const QColor kAmber("#EAC564");
const QColor kDarkGrey("#404040");
constexpr qreal kListingBlankExtra = 4;  // pixels added to each blank of the listing (see there)

void Paint(QWidget* widget, QPalette::ColorRole role, const QColor& colour) {
  QPalette palette = widget->palette();
  palette.setColor(role, colour);
  widget->setPalette(palette);
}

template <typename Control>
Control* Place(Control* control, const QString& name, int x, int y, int w, int h) {
  control->setObjectName(name);
  control->setGeometry(x, y, w, h);
  return control;
}

QString Indexed(const char* name, int index) {
  return QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(index);
}

Frame* MakeFrame(QWidget* parent, const QString& name, int x, int y, int w, int h) {
  return Place(new Frame(parent), name, x, y, w, h);
}

QPushButton* MakeButton(QWidget* parent, const QString& name, const QString& caption, int x, int y,
                        int w, int h, const QFont& font, const QColor& face) {
  auto* button = Place(new QPushButton(caption, parent), name, x, y, w, h);
  button->setFont(font);
  button->setAutoDefault(false);
  button->setDefault(false);
  button->setFocusPolicy(Qt::StrongFocus);
  Paint(button, QPalette::Button, face);
  return button;
}

// A single-line box of at most two digits, text centred. Pasted text that is not one or two
// digits is refused by the validator.
QLineEdit* MakeNumberBox(QWidget* parent, const QString& name, int x, int y, int w, int h,
                         const QFont& font, const QString& accessibleName) {
  auto* box = Place(new QLineEdit(parent), name, x, y, w, h);
  box->setMaxLength(2);
  box->setAlignment(Qt::AlignCenter);
  box->setFont(font);
  box->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]{0,2}"), box));
  box->setAccessibleName(accessibleName);
  return box;
}

QPlainTextEdit* MakeTextArea(QWidget* parent, const QString& name, int x, int y, int w, int h,
                             const QFont& font, const QString& accessibleName) {
  auto* area = Place(new TextArea(parent), name, x, y, w, h);
  area->setFont(font);
  area->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  area->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  area->setTabChangesFocus(true);
  area->setAccessibleName(accessibleName);
  return area;
}

template <typename Label>
Label* MakeLabel(QWidget* parent, const QString& name, const QString& caption, int x, int y, int w,
                 int h, const QFont& font, Qt::Alignment alignment) {
  auto* label = Place(new Label(caption, parent), name, x, y, w, h);
  label->setFont(font);
  label->setAlignment(alignment | Qt::AlignVCenter);
  label->setAutoFillBackground(true);
  return label;
}

}  // namespace

frmAmain::frmAmain(WheelState& state, WindowSeams seams, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      state_(state),
      seams_(std::move(seams)) {
  RegisterArtwork();
  setObjectName("frmAmain");
  setWindowTitle("  QUIRMEL");
  setWindowIcon(QIcon(QPixmap(":/quirmel/icon.png")));
  setFixedSize(668, 433);
  setFont(DesignFont(Face::Ui, 11));
  Paint(this, QPalette::Window, kSurface);
  setAutoFillBackground(true);
  setMouseTracking(true);

  BuildControls();
  SetTabOrder();
  ConnectHandlers();
  Form_Load();
  txtChiave[1]->setFocus(Qt::OtherFocusReason);
}

frmAmain::~frmAmain() = default;

void frmAmain::BuildControls() {
  // The three panels directly on the window.
  Frame2 = MakeFrame(this, "Frame2", 10, 12, 439, 165);
  Frame5 = MakeFrame(this, "Frame5", 10, 178, 439, 243);
  Frame1[2] = MakeFrame(this, Indexed("Frame1", 2), 452, 12, 203, 409);

  // Input and command panel.
  const QFont windowFont = DesignFont(Face::Ui, 11);
  Label1[2] =
      MakeLabel<ClickLabel>(Frame2, Indexed("Label1", 2), "CLICK HERE TO RESET KEY", 18, 14, 241,
                            17, DesignFont(Face::Ui, 11, QFont::Bold), Qt::AlignHCenter);
  Paint(Label1[2], QPalette::WindowText, kDarkGrey);
  Frame1[4] = MakeFrame(Frame2, Indexed("Frame1", 4), 12, 32, 253, 57);
  for (int index = 1; index <= 6; ++index) {
    QLineEdit* box =
        MakeNumberBox(Frame1[4], Indexed("txtChiave", index), 8 + 40 * (index - 1), 18, 37, 32,
                      DesignFont(Face::Ui, 19), QStringLiteral("Key number %1").arg(index));
    Paint(box, QPalette::Base, kAmber);
    Paint(box, QPalette::Text, kDarkGrey);
    txtChiave[index] = box;
  }
  Label1[0] = MakeLabel<ClickLabel>(Frame2, Indexed("Label1", 0), "Numbers", 298, 40, 65, 17,
                                    windowFont, Qt::AlignRight);
  txtNumeri =
      MakeNumberBox(Frame2, "txtNumeri", 386, 32, 33, 25, DesignFont(Face::Ui, 16), "Numbers");
  Paint(txtNumeri, QPalette::Text, QColor("#187889"));
  Label1[1] = MakeLabel<ClickLabel>(Frame2, Indexed("Label1", 1), "Combinations", 286, 68, 77, 17,
                                    windowFont, Qt::AlignRight);
  txtCombinazioni = MakeNumberBox(Frame2, "txtCombinazioni", 386, 60, 33, 25,
                                  DesignFont(Face::Ui, 16), "Combinations");
  Paint(txtCombinazioni, QPalette::Text, QColor("#E86F26"));

  Frame1[1] = MakeFrame(Frame2, Indexed("Frame1", 1), 12, 94, 101, 51);
  cmdElabora = MakeButton(Frame1[1], "cmdElabora", "GENERATE", 12, 14, 79, 31,
                          DesignFont(Face::UiSemibold, 11, QFont::DemiBold), kButtonFace);

  Frame1[0] = MakeFrame(Frame2, Indexed("Frame1", 0), 118, 94, 173, 51);
  for (int index = 6; index >= 2; --index) {  // "6" leftmost, "2" rightmost
    cmdGar[index] =
        MakeButton(Frame1[0], Indexed("cmdGar", index), QString::number(index),
                   8 + 32 * (6 - index), 14, 31, 31, DesignFont(Face::Ui, 15), kButtonFace);
  }

  Frame1[3] = MakeFrame(Frame2, Indexed("Frame1", 3), 296, 94, 63, 51);
  cmdAbort = MakeButton(Frame1[3], "cmdAbort", "STOP", 6, 14, 47, 31,
                        DesignFont(Face::Ui, 12, QFont::Bold), kAmber);
  cmdAbort->setEnabled(false);

  Frame1[5] = MakeFrame(Frame2, Indexed("Frame1", 5), 364, 94, 65, 51);
  lblGarFlag = MakeLabel<QLabel>(Frame1[5], "lblGarFlag", "2", 20, 20, 25, 24,
                                 DesignFont(Face::Ui, 15, QFont::Bold), Qt::AlignHCenter);
  lblGarFlag->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  lblGarFlag->setLineWidth(1);
  Paint(lblGarFlag, QPalette::Window, QColor("#FFFFFF"));
  Paint(lblGarFlag, QPalette::WindowText, QColor("#E86F26"));
  // The arrows: Webdings "3" and "4" where that font exists, else the triangles themselves.
  const bool webdings = HasSymbolFont();
  const QFont arrows = DesignFont(Face::Symbol, 13);
  cmdMenoB = MakeButton(Frame1[5], "cmdMenoB", webdings ? "3" : QString(QChar(0x25C0)), 8, 20, 14,
                        24, arrows, kButtonFace);
  cmdMenoB->setToolTip("Filtro precedente");
  cmdPiuB = MakeButton(Frame1[5], "cmdPiuB", webdings ? "4" : QString(QChar(0x25B6)), 44, 20, 14,
                       24, arrows, kButtonFace);
  cmdPiuB->setToolTip("Filtro successivo");
  cmdMenoB->raise();  // both buttons are drawn over the label's edges
  cmdPiuB->raise();

  // Report panel.
  txtReport = MakeTextArea(Frame5, "txtReport", 14, 20, 409, 191, DesignFont(Face::Mono, 16),
                           "Coverage report");
  Image1 = Place(new QLabel(Frame5), "Image1", 16, 218, 156, 16);
  Image1->setPixmap(QPixmap(":/quirmel/banner.png"));
  lblSito = MakeLabel<ClickLabel>(Frame5, "lblSito", kSiteAddress, 186, 220, 187, 17,
                                  DesignFont(Face::Ui, 12, QFont::Normal, true), Qt::AlignLeft);
  lblSito->setMouseTracking(true);
  lblSito->setCursor(Qt::PointingHandCursor);
  SetSiteColour(kLinkColour);

  // Listing column.
  // The listing's face has tabular figures whose "1" is a narrow glyph centred in a full figure
  // width, while its blank is barely a quarter of an em: at 16 px the blank between "09" and "16"
  // leaves no more ink-free room than the inside of "11" or "16", and the hinter's rounding can
  // take the rest, so two numbers read as one. Half an em between numbers keeps every blank
  // wider than any gap inside a number; a row of six still fits the listing's width.
  QFont listingFont = DesignFont(Face::Ui, 16);
  listingFont.setWordSpacing(kListingBlankExtra);
  txtLista = MakeTextArea(Frame1[2], "txtLista", 10, 16, 181, 357, listingFont, "Wheel listing");
  lblCt = MakeLabel<QLabel>(Frame1[2], "lblCt", "0", 12, 380, 103, 21,
                            DesignFont(Face::UiSemibold, 13, QFont::DemiBold), Qt::AlignRight);
  lblCt->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  lblCt->setLineWidth(1);
  Paint(lblCt, QPalette::Window, QApplication::palette().color(QPalette::Button));
  Paint(lblCt, QPalette::WindowText, QColor("#C04000"));
  cmdClearAlll = MakeButton(Frame1[2], "cmdClearAlll", "CLEAR", 122, 380, 68, 23,
                            DesignFont(Face::UiSemibold, 11, QFont::DemiBold), kButtonFace);
}

void frmAmain::SetTabOrder() {
  const std::vector<QWidget*> order = {txtChiave[1], txtChiave[2], txtChiave[3], txtChiave[4],
                                       txtChiave[5], txtChiave[6], txtNumeri,    txtCombinazioni,
                                       cmdElabora,   txtLista,     cmdGar[2],    cmdGar[3],
                                       cmdGar[4],    cmdGar[5],    cmdGar[6],    cmdAbort,
                                       cmdMenoB,     cmdPiuB,      txtReport,    cmdClearAlll};
  for (std::size_t i = 0; i + 1 < order.size(); ++i)
    setTabOrder(order[i], order[i + 1]);
  setTabOrder(order.back(), order.front());
}

void frmAmain::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (centred_ || !screen()) return;
  centred_ = true;
  QRect frame = frameGeometry();
  frame.moveCenter(screen()->availableGeometry().center());
  move(frame.topLeft());
}

}  // namespace quirmel
