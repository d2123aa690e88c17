#include "ui/win32/dialog_builder.h"

#include <commctrl.h>

#include "res/i18n/catalogue.h"
#include "res/ids/app_ids.h"
#include "ui/app/access_layout.h"
#include "ui/win32/wide_text.h"

namespace lumiq::ui::win32 {

namespace {

using res::ControlKind;

// Predefined window classes by ordinal, as resource compilers write them.
constexpr WORD kButtonClass = 0x0080;
constexpr WORD kEditClass = 0x0081;
constexpr WORD kStaticClass = 0x0082;
constexpr WORD kListBoxClass = 0x0083;
constexpr WORD kComboBoxClass = 0x0085;

class Writer {
 public:
  explicit Writer(std::vector<WORD>& words) : words_(words) {}
  void Word(WORD value) { words_.push_back(value); }
  void Dword(DWORD value) {
    Word(LOWORD(value));
    Word(HIWORD(value));
  }
  void Short(short value) { Word(static_cast<WORD>(value)); }
  void Text(const std::wstring& text) {
    for (wchar_t c : text) Word(static_cast<WORD>(c));
    Word(0);
  }
  void Ordinal(WORD ordinal) {
    Word(0xFFFF);
    Word(ordinal);
  }
  void AlignDword() {
    if (words_.size() % 2) Word(0);
  }

 private:
  std::vector<WORD>& words_;
};

DWORD DialogStyle(const res::DialogTemplate& dialog) {
  if (dialog.childPage) {
    // A page: a child of the tab control that keyboard navigation enters.
    return WS_CHILD | DS_CONTROL | DS_SETFONT;
  }
  DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
  // The connect dialog is the one top-level window shown from the start.
  if (dialog.id == res::kConnectTemplateId) style |= WS_VISIBLE;
  return style;
}

}  // namespace

DWORD ControlStyle(const res::ControlTemplate& control) {
  DWORD style = WS_CHILD;
  if (!(control.style & res::kHidden)) style |= WS_VISIBLE;
  if (control.style & res::kGroupStart) style |= WS_GROUP;
  if (control.style & res::kTabStop) style |= WS_TABSTOP;
  if (control.style & res::kDisabled) style |= WS_DISABLED;
  if (control.style & res::kBorder) style |= WS_BORDER;
  switch (control.kind) {
    case ControlKind::kPushButton:
      style |= (control.style & res::kDefaultButton) ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
      break;
    case ControlKind::kCheckBox:
      style |= BS_AUTOCHECKBOX;
      break;
    case ControlKind::kRadioButton:
      style |= BS_AUTORADIOBUTTON;
      break;
    case ControlKind::kGroupBox:
      style |= BS_GROUPBOX;
      break;
    case ControlKind::kEdit:
      style |= ES_LEFT;
      if (control.style & res::kAutoHScroll) style |= ES_AUTOHSCROLL;
      if (control.style & res::kPassword) style |= ES_PASSWORD;
      if (control.style & res::kNumberOnly) style |= ES_NUMBER;
      break;
    case ControlKind::kComboBox:
      // The template's height includes the dropped-down list.
      style |= CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL;
      if (control.style & res::kSorted) style |= CBS_SORT;
      break;
    case ControlKind::kLabel:
      style |= SS_LEFT;
      break;
    case ControlKind::kIcon:
      style |= SS_ICON;
      break;
    case ControlKind::kTabControl:
      break;
    case ControlKind::kListBox:
      // Notify: a double click reaches the dialog. Not integral height: the
      // template's height is the list's, whatever the font.
      style |= LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL;
      break;
  }
  return style;
}

InMemoryTemplate BuildTemplate(const res::DialogTemplate& source) {
  // In the order of the screen, each label just before its field (which
  // screen readers name by it), each radio group one tab stop.
  const res::DialogTemplate dialog = app::ArrangedForKeyboard(source);
  InMemoryTemplate built;
  Writer out(built.words);
  out.Word(1);       // dlgVer
  out.Word(0xFFFF);  // signature: extended template
  out.Dword(0);      // helpID
  out.Dword(dialog.childPage ? WS_EX_CONTROLPARENT : 0);
  out.Dword(DialogStyle(dialog));
  out.Word(static_cast<WORD>(dialog.controls.size()));
  out.Short(0);
  out.Short(0);
  out.Short(static_cast<short>(dialog.width));
  out.Short(static_cast<short>(dialog.height));
  out.Word(0);  // no menu
  out.Word(0);  // the dialog class
  out.Text(Utf8ToWide(i18n::Tr(dialog.caption)));
  out.Word(static_cast<WORD>(dialog.fontPointSize));
  out.Word(FW_NORMAL);
  out.Word(MAKEWORD(FALSE, DEFAULT_CHARSET));  // italic, charset
  out.Text(Utf8ToWide(dialog.fontFace));

  for (const res::ControlTemplate& control : dialog.controls) {
    out.AlignDword();
    out.Dword(0);  // helpID
    // The tab control holds the pages, so navigation must enter it too.
    out.Dword(control.kind == ControlKind::kTabControl ? WS_EX_CONTROLPARENT : 0);
    out.Dword(ControlStyle(control));
    out.Short(static_cast<short>(control.rect.x));
    out.Short(static_cast<short>(control.rect.y));
    out.Short(static_cast<short>(control.rect.w));
    out.Short(static_cast<short>(control.rect.h));
    out.Dword(static_cast<DWORD>(control.id));  // kNoId is -1, the static id
    switch (control.kind) {
      case ControlKind::kPushButton:
      case ControlKind::kCheckBox:
      case ControlKind::kRadioButton:
      case ControlKind::kGroupBox:
        out.Ordinal(kButtonClass);
        break;
      case ControlKind::kEdit:
        out.Ordinal(kEditClass);
        break;
      case ControlKind::kComboBox:
        out.Ordinal(kComboBoxClass);
        break;
      case ControlKind::kLabel:
      case ControlKind::kIcon:
        out.Ordinal(kStaticClass);
        break;
      case ControlKind::kTabControl:
        out.Text(WC_TABCONTROLW);
        break;
      case ControlKind::kListBox:
        out.Ordinal(kListBoxClass);
        break;
    }
    if (control.kind == ControlKind::kIcon) {
      out.Ordinal(static_cast<WORD>(res::kProgramIconId));
    } else {
      out.Text(Utf8ToWide(i18n::Tr(control.caption)));
    }
    out.Word(0);  // no creation data
  }
  return built;
}

void FillComboBoxes(HWND dialog, const res::DialogTemplate& tmpl) {
  for (const res::ControlTemplate& control : tmpl.controls) {
    if (control.kind != ControlKind::kComboBox) continue;
    HWND combo = GetDlgItem(dialog, control.id);
    if (!combo) continue;
    for (const char* item : control.items) {
      const std::wstring text = Utf8ToWide(item);
      SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
  }
}

}  // namespace lumiq::ui::win32
