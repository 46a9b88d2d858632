#include "dialog/settings_dialog.h"

#include <FL/Enumerations.H>
#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Return_Button.H>
#include <FL/Fl_Round_Button.H>
#include <FL/Fl_Tooltip.H>
#include <FL/fl_ask.H>
#include <FL/fl_draw.H>
// Last: it pulls in Xlib, whose macros must not leak into the FLTK headers above.
#include <FL/x.H>

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <utility>
#include <vector>

#include "settings/dialog_layout.h"
#include "settings/ok_processing.h"

namespace morvane {
namespace {

// Dialog units to pixels. Two pixels per unit leaves room for the Hungarian labels in the
// sans-serif font at fontSize.
constexpr int pixelsPerUnit = 2;
constexpr Fl_Fontsize fontSize = 12;
// FLTK insets left- and right-aligned labels by this much on each side.
constexpr int labelInset = 3;

int px(int units) { return units * pixelsPerUnit; }

bool allDigits(const char* text, int length) {
  for (int i = 0; i < length; ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
  }
  return true;
}

void centreOnScreen(Fl_Window& window) {
  int x = 0, y = 0, w = 0, h = 0;
  Fl::screen_work_area(x, y, w, h, 0);  // the primary screen, as for a box without an owner
  window.position(x + (w - window.w()) / 2, y + (h - window.h()) / 2);
}

// A group box: an engraved frame whose caption interrupts its top edge.
class GroupFrame : public Fl_Group {
 public:
  GroupFrame(int x, int y, int w, int h, const char* label) : Fl_Group(x, y, w, h, label) {
    // Inside, so the window does not draw the caption a second time above the frame.
    align(FL_ALIGN_TOP_LEFT | FL_ALIGN_INSIDE);
  }

 protected:
  void draw() override {
    if ((damage() & ~FL_DAMAGE_CHILD) != 0) {
      fl_font(labelfont(), labelsize());
      int textW = 0, textH = 0;
      fl_measure(label(), textW, textH, 0);
      const int top = y() + textH / 2;
      fl_draw_box(FL_ENGRAVED_FRAME, x(), top, w(), h() - (top - y()), color());
      fl_color(color());
      fl_rectf(x() + 6, y(), textW + 4, textH);
      fl_color(labelcolor());
      fl_draw(label(), x() + 8, y(), textW, textH, FL_ALIGN_LEFT, nullptr, 0);
    }
    draw_children();
  }
};

// An edit that takes digits only, typed or pasted; editing and navigation keys still work.
class DigitInput : public Fl_Input {
 public:
  DigitInput(int x, int y, int w, int h) : Fl_Input(x, y, w, h) {}

  int handle(int event) override {
    const bool typed =
        event == FL_KEYBOARD && (Fl::event_state() & (FL_CTRL | FL_ALT | FL_META)) == 0;
    const char* text = Fl::event_text();
    const int length = Fl::event_length();
    // Control characters (Backspace, Tab, Enter, Esc, Delete) are editing keys, not text.
    const bool printable =
        length > 0 && static_cast<unsigned char>(text[0]) >= 0x20 && text[0] != 0x7F;
    if ((typed && printable && !allDigits(text, length)) ||
        (event == FL_PASTE && !allDigits(text, length))) {
      fl_beep(FL_BEEP_ERROR);
      return 1;
    }
    return Fl_Input::handle(event);
  }
};

// The stop sign of an error box: a red disc with a white cross.
class StopIcon : public Fl_Widget {
 public:
  StopIcon(int x, int y, int size) : Fl_Widget(x, y, size, size) {}

 protected:
  void draw() override {
    fl_color(FL_RED);
    fl_pie(x(), y(), w(), h(), 0.0, 360.0);
    fl_color(FL_WHITE);
    fl_line_style(FL_SOLID | FL_CAP_ROUND, std::max(2, w() / 8));
    const int inset = w() * 3 / 10;
    fl_line(x() + inset, y() + inset, x() + w() - inset, y() + h() - inset);
    fl_line(x() + w() - inset, y() + inset, x() + inset, y() + h() - inset);
    fl_line_style(0);
  }
};

enum class BoxIcon { none, stop };

// A modal box with the text, the caption, an optional stop icon and only an OK button, centred
// on the screen like a box without an owner. Returns when it is closed (OK, Enter, Esc, close).
void showMessageBox(const char* textUtf8, const char* captionUtf8, BoxIcon icon) {
  constexpr int margin = 16;
  constexpr int iconSize = 32;
  constexpr int buttonW = 90;
  constexpr int buttonH = 26;
  constexpr int wrapWidth = 420;
  constexpr int minTextWidth = 200;  // a one-word message still gets a box of a sensible width

  fl_font(FL_HELVETICA, fontSize);
  int textW = wrapWidth, textH = 0;
  fl_measure(textUtf8, textW, textH, 0);
  textW = std::max(textW, minTextWidth);
  const int iconW = icon == BoxIcon::stop ? iconSize + margin : 0;
  const int contentH = std::max(textH, icon == BoxIcon::stop ? iconSize : 0);
  const int w = std::max(2 * margin + iconW + textW, 2 * margin + buttonW);
  const int h = 3 * margin + contentH + buttonH;

  Fl_Double_Window box(w, h, captionUtf8);
  if (icon == BoxIcon::stop) {
    fl_beep(FL_BEEP_ERROR);
    new StopIcon(margin, margin, iconSize);
  }
  auto* message = new Fl_Box(margin + iconW - labelInset, margin + (contentH - textH) / 2,
                             textW + 2 * labelInset, textH, textUtf8);
  message->labelsize(fontSize);
  message->align(FL_ALIGN_TOP_LEFT | FL_ALIGN_INSIDE | FL_ALIGN_WRAP);
  auto* ok = new Fl_Return_Button((w - buttonW) / 2, h - margin - buttonH, buttonW, buttonH, "OK");
  ok->labelsize(fontSize);
  ok->callback([](Fl_Widget* button, void*) { button->window()->hide(); });
  box.end();
  box.set_modal();
  centreOnScreen(box);
  box.show();
  while (box.shown()) Fl::wait();
}

void showHelp(int id) {
  if (const char* text = controlHelpText(id)) showMessageBox(text, helpCaptionUtf8, BoxIcon::none);
}

struct PlacedControl {
  const DialogControl* control;
  Fl_Widget* widget;
};

enum class DialogState { open, accepted, left };

class SettingsWindow : public Fl_Double_Window {
 public:
  SettingsWindow(Random& random, const DialogInput& start)
      : Fl_Double_Window(px(dialogWidthUnits), px(dialogHeightUnits), dialogTitleUtf8),
        random_(random) {
    buildControls();
    setStartingStates(start);
    // Esc and the window's close button arrive here, like "Kilépés".
    callback(onLeave, this);
  }

  DialogState state() const { return state_; }
  OkOutcome& result() { return result_; }

  int handle(int event) override;

 private:
  void buildControls();
  Fl_Widget* makeWidget(const DialogControl& c);
  void setStartingStates(const DialogInput& start);
  DialogInput readControls() const;
  void pressOk();
  void leave();
  void setHelpMode(bool on);
  int controlIdAt(int x, int y) const;
  int controlIdOf(const Fl_Widget* widget) const;

  static void onOk(Fl_Widget*, void* self) { static_cast<SettingsWindow*>(self)->pressOk(); }
  static void onLeave(Fl_Widget*, void* self) { static_cast<SettingsWindow*>(self)->leave(); }
  static void onHelpButton(Fl_Widget*, void* self) {
    static_cast<SettingsWindow*>(self)->setHelpMode(true);
  }

  template <class Widget>
  Widget* widget(int id) const {
    for (const PlacedControl& placed : controls_) {
      if (placed.control->id == id) return static_cast<Widget*>(placed.widget);
    }
    return nullptr;
  }

  Random& random_;
  std::vector<PlacedControl> controls_;  // in template order
  DialogState state_ = DialogState::open;
  OkOutcome result_;
  bool helpMode_ = false;
  bool swallowRelease_ = false;
};

void SettingsWindow::buildControls() {
  // Widgets are created in template order: FLTK's Tab order is the order of creation. The
  // radio buttons become children of their group box, which makes them exclusive.
  GroupFrame* radioGroup = nullptr;
  for (const DialogControl& c : dialogControls) {
    if (radioGroup != nullptr && c.kind != ControlKind::radioButton) {
      radioGroup->end();
      radioGroup = nullptr;
    }
    Fl_Widget* w = makeWidget(c);
    w->labelsize(fontSize);
    if (const char* help = controlHelpText(c.id)) w->tooltip(help);
    if (c.kind == ControlKind::groupBox) {
      auto* group = static_cast<GroupFrame*>(w);
      if (c.id == controlId::difficultyGroup) {
        radioGroup = group;
      } else {
        group->end();
      }
    }
    controls_.push_back({&c, w});
  }
  if (radioGroup != nullptr) radioGroup->end();

  // The title bar's help button: press it, then click a control. Not a Tab stop.
  constexpr int helpSize = 24;
  auto* help = new Fl_Button(w() - helpSize - 8, 8, helpSize, helpSize, "?");
  help->labelsize(fontSize);
  help->labelfont(FL_HELVETICA_BOLD);
  help->visible_focus(0);
  help->callback(onHelpButton, this);
  end();
}

Fl_Widget* SettingsWindow::makeWidget(const DialogControl& c) {
  const int x = px(c.x), y = px(c.y), w = px(c.width), h = px(c.height);
  switch (c.kind) {
    case ControlKind::groupBox:
      return new GroupFrame(x, y, w, h, c.labelUtf8);
    case ControlKind::staticText: {
      auto* text = new Fl_Box(x, y, w, h, c.labelUtf8);
      // Only a box tall enough for two lines wraps; a one-line label may run past its box.
      Fl_Align align = FL_ALIGN_TOP_LEFT | FL_ALIGN_INSIDE;
      if (c.height >= 16) align |= FL_ALIGN_WRAP;
      text->align(align);
      return text;
    }
    case ControlKind::edit:
    case ControlKind::digitEdit: {
      Fl_Input* input = c.kind == ControlKind::digitEdit ? new DigitInput(x, y, w, h)
                                                         : new Fl_Input(x, y, w, h);
      input->textsize(fontSize);
      return input;
    }
    case ControlKind::pushButton: {
      Fl_Button* button = c.id == controlId::ok ? new Fl_Return_Button(x, y, w, h, c.labelUtf8)
                                                : new Fl_Button(x, y, w, h, c.labelUtf8);
      button->callback(c.id == controlId::ok ? onOk : onLeave, this);
      return button;
    }
    case ControlKind::checkBox:
      return new Fl_Check_Button(x, y, w, h, c.labelUtf8);
    case ControlKind::radioButton: {
      auto* radio = new Fl_Round_Button(x, y, w, h, c.labelUtf8);
      radio->type(FL_RADIO_BUTTON);
      return radio;
    }
  }
  return nullptr;
}

void SettingsWindow::setStartingStates(const DialogInput& start) {
  widget<Fl_Input>(controlId::player1Name)->value(start.player1Name.c_str());
  widget<Fl_Input>(controlId::player2Name)->value(start.player2Name.c_str());
  widget<Fl_Input>(controlId::arenaSize)->value(start.arenaSize.c_str());
  widget<Fl_Input>(controlId::rack)->value(start.rack.c_str());
  widget<Fl_Input>(controlId::rounds)->value(start.rounds.c_str());
  widget<Fl_Button>(controlId::player1Computer)->value(start.player1Computer);
  widget<Fl_Button>(controlId::player2Computer)->value(start.player2Computer);
  widget<Fl_Button>(controlId::chaoticRack)->value(start.chaoticRack);
  widget<Fl_Button>(controlId::multiplier)->value(start.multiplierEnabled);
  widget<Fl_Button>(controlId::winnerStarts)->value(start.winnerStartsNextRound);
  widget<Fl_Button>(controlId::randomStart)->value(start.randomStart);
  const auto level = static_cast<std::size_t>(std::clamp(start.difficulty, 0, difficultyLevelCount - 1));
  widget<Fl_Button>(difficultyRadioIds[level])->setonly();
  // The computer always pre-simulates: shown checked, never changeable.
  auto* preSimulation = widget<Fl_Button>(controlId::preSimulation);
  preSimulation->value(1);
  preSimulation->deactivate();
}

DialogInput SettingsWindow::readControls() const {
  DialogInput in;
  in.player1Name = widget<Fl_Input>(controlId::player1Name)->value();
  in.player2Name = widget<Fl_Input>(controlId::player2Name)->value();
  in.arenaSize = widget<Fl_Input>(controlId::arenaSize)->value();
  in.rack = widget<Fl_Input>(controlId::rack)->value();
  in.rounds = widget<Fl_Input>(controlId::rounds)->value();
  in.player1Computer = widget<Fl_Button>(controlId::player1Computer)->value() != 0;
  in.player2Computer = widget<Fl_Button>(controlId::player2Computer)->value() != 0;
  in.chaoticRack = widget<Fl_Button>(controlId::chaoticRack)->value() != 0;
  in.multiplierEnabled = widget<Fl_Button>(controlId::multiplier)->value() != 0;
  in.winnerStartsNextRound = widget<Fl_Button>(controlId::winnerStarts)->value() != 0;
  in.randomStart = widget<Fl_Button>(controlId::randomStart)->value() != 0;
  for (std::size_t level = 0; level < difficultyRadioIds.size(); ++level) {
    if (widget<Fl_Button>(difficultyRadioIds[level])->value() != 0) {
      in.difficulty = static_cast<int>(level);
    }
  }
  return in;
}

void SettingsWindow::pressOk() {
  OkOutcome outcome = processOk(readControls(), random_);
  if (!outcome.accepted()) {
    // The dialog stays open with everything as typed; the next OK reads it all again.
    showMessageBox(outcome.refusal->messageUtf8.c_str(), outcome.refusal->captionUtf8.c_str(),
                   BoxIcon::stop);
    return;
  }
  result_ = std::move(outcome);
  state_ = DialogState::accepted;
  hide();
}

void SettingsWindow::leave() {
  state_ = DialogState::left;
  hide();
}

void SettingsWindow::setHelpMode(bool on) {
  helpMode_ = on;
  cursor(on ? FL_CURSOR_HELP : FL_CURSOR_DEFAULT);
}

int SettingsWindow::controlIdAt(int x, int y) const {
  // Later controls lie on top; group boxes only frame the others and never answer.
  for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
    const Fl_Widget* w = it->widget;
    if (it->control->kind == ControlKind::groupBox) continue;
    if (x >= w->x() && x < w->x() + w->w() && y >= w->y() && y < w->y() + w->h()) {
      return it->control->id;
    }
  }
  return 0;
}

int SettingsWindow::controlIdOf(const Fl_Widget* widget) const {
  for (const PlacedControl& placed : controls_) {
    if (placed.widget == widget) return placed.control->id;
  }
  return 0;
}

int SettingsWindow::handle(int event) {
  const bool key = event == FL_KEYBOARD || event == FL_SHORTCUT;
  if (event == FL_PUSH) swallowRelease_ = false;
  if (helpMode_) {
    if (event == FL_PUSH) {
      // The click names a control instead of working it.
      const int id = controlIdAt(Fl::event_x(), Fl::event_y());
      setHelpMode(false);
      swallowRelease_ = true;
      showHelp(id);
      return 1;
    }
    if (key && Fl::event_key() == FL_Escape) {
      setHelpMode(false);
      return 1;
    }
  }
  if (event == FL_RELEASE && swallowRelease_) {
    swallowRelease_ = false;
    return 1;
  }
  if (key && Fl::event_key() == FL_F + 1) {
    showHelp(controlIdOf(Fl::focus()));
    return 1;
  }
  const int handled = Fl_Double_Window::handle(event);
  // Inputs switch to the text cursor when the mouse enters them; help mode keeps its own.
  if (helpMode_ && (event == FL_ENTER || event == FL_MOVE)) cursor(FL_CURSOR_HELP);
  return handled;
}

// Opens the X display ourselves: FLTK treats a missing display as fatal and exits with its own
// status, while the caller must get the chance to report it and choose the exit code.
bool openDisplay() {
  if (fl_display != nullptr) return true;
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    const char* name = XDisplayName(nullptr);
    if (name == nullptr || name[0] == '\0') {
      std::fprintf(stderr, "Morvane: no X display is set (DISPLAY is empty); the settings "
                           "dialog cannot be shown.\n");
    } else {
      std::fprintf(stderr, "Morvane: cannot open the X display \"%s\"; the settings dialog "
                           "cannot be shown.\n", name);
    }
    return false;
  }
  fl_open_display(display);
  return true;
}

}  // namespace

DialogExit runSettingsDialog(Random& random, const DialogInput& start, MatchSettings& settings,
                             int32_t& firstPlayer) {
  if (!openDisplay()) return DialogExit::noDisplay;
  Fl_Tooltip::size(fontSize);
  // The class the game window has too, so window lists group them under the desktop entry;
  // it covers the dialog and every box it opens.
  Fl_Window::default_xclass("morvane");

  SettingsWindow window(random, start);
  window.set_modal();
  centreOnScreen(window);
  window.show();
  while (window.state() == DialogState::open && window.shown()) Fl::wait();
  window.hide();
  Fl::flush();  // take the dialog off the screen before the game window opens

  if (window.state() != DialogState::accepted) return DialogExit::quit;
  settings = std::move(window.result().settings);
  firstPlayer = window.result().currentPlayer;
  return DialogExit::ok;
}

}  // namespace morvane
