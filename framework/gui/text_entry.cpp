#include "framework/gui/text_entry.h"

#include "framework/gui/popup_menu_draw.h"
#include "framework/gui/text_entry_utf8.h"

#include <X11/keysym.h>

TextEntry::TextEntry(const std::string& initial, size_t maxChars)
    : mText(utf8::Cut(utf8::WithoutControls(utf8::Sanitize(initial)), maxChars)),
      mCursor(mText.size()), mMaxChars(maxChars) {}

void TextEntry::ReplaceSelection() {
  if (!mAllSelected) return;
  mAllSelected = false;
  mText.clear();
  mCursor = 0;
}

void TextEntry::Insert(const std::string& text) {
  if (!IsEditing()) return;
  const std::string clean = utf8::WithoutControls(utf8::Sanitize(text));
  if (clean.empty()) return;
  ReplaceSelection();
  const size_t room = mMaxChars > utf8::Length(mText) ? mMaxChars - utf8::Length(mText) : 0;
  const std::string fitting = utf8::Cut(clean, room);
  mText.insert(mCursor, fitting);
  mCursor += fitting.size();
}

void TextEntry::Backspace() {
  if (mAllSelected) {
    ReplaceSelection();
    return;
  }
  if (mCursor == 0) return;
  const size_t start = utf8::PreviousBoundary(mText, mCursor);
  mText.erase(start, mCursor - start);
  mCursor = start;
}

void TextEntry::Delete() {
  if (mAllSelected) {
    ReplaceSelection();
    return;
  }
  if (mCursor >= mText.size()) return;
  size_t end = mCursor + 1;
  while (end < mText.size() && (static_cast<unsigned char>(mText[end]) & 0xC0) == 0x80) ++end;
  mText.erase(mCursor, end - mCursor);
}

void TextEntry::MoveLeft() {
  if (mAllSelected) {
    mAllSelected = false;
    mCursor = 0;
    return;
  }
  mCursor = utf8::PreviousBoundary(mText, mCursor);
}

void TextEntry::MoveRight() {
  mAllSelected = false;
  if (mCursor >= mText.size()) return;
  ++mCursor;
  while (mCursor < mText.size() && (static_cast<unsigned char>(mText[mCursor]) & 0xC0) == 0x80)
    ++mCursor;
}

void TextEntry::Home() {
  mAllSelected = false;
  mCursor = 0;
}

void TextEntry::End() {
  mAllSelected = false;
  mCursor = mText.size();
}

void TextEntry::Complete() {
  if (IsEditing()) mState = EState::kCompleted;
}

void TextEntry::Cancel() {
  if (IsEditing()) mState = EState::kCancelled;
}

bool TextEntry::OnKey(const IKeyPress& key) {
  if (!IsEditing()) return false;
  switch (key.keysym) {
  case XK_Return:
  case XK_KP_Enter:
    Complete();
    return true;
  case XK_Escape:
    Cancel();
    return true;
  case XK_BackSpace:
    Backspace();
    return true;
  case XK_Delete:
  case XK_KP_Delete:
    Delete();
    return true;
  case XK_Left:
  case XK_KP_Left:
    MoveLeft();
    return true;
  case XK_Right:
  case XK_KP_Right:
    MoveRight();
    return true;
  case XK_Home:
  case XK_KP_Home:
    Home();
    return true;
  case XK_End:
  case XK_KP_End:
    End();
    return true;
  default:
    break;
  }
  if (key.ctrl || key.utf8[0] == '\0') return false;
  Insert(key.utf8);
  return true;
}

void DrawTextEntry(cairo_t* cr, const TextEntry& entry, const IRECT& rect, float fontSize,
                   cairo_font_face_t* font) {
  cairo_save(cr);
  cairo_rectangle(cr, rect.L, rect.T, rect.W(), rect.H());
  cairo_set_source_rgb(cr, 0.10, 0.10, 0.12);
  cairo_fill_preserve(cr);
  cairo_set_source_rgb(cr, 0.55, 0.62, 0.75);
  cairo_set_line_width(cr, 1.0);
  cairo_stroke_preserve(cr);
  cairo_clip(cr);

  SelectPopupFont(cr, font, fontSize);
  cairo_font_extents_t fe;
  cairo_font_extents(cr, &fe);
  const std::string& text = entry.Text();
  const std::string before = text.substr(0, entry.Cursor());
  cairo_text_extents_t all, head;
  cairo_text_extents(cr, text.c_str(), &all);
  cairo_text_extents(cr, before.c_str(), &head);

  // The text scrolls so that the cursor stays in view.
  const double pad = 0.25 * fontSize;
  const double room = rect.W() - 2.0 * pad;
  double x = rect.L + pad;
  if (head.x_advance > room) x -= head.x_advance - room;
  const double baseline = rect.MH() + (fe.ascent - fe.descent) / 2.0;

  if (entry.AllSelected() && !text.empty()) {
    cairo_rectangle(cr, x, rect.MH() - fe.ascent / 2.0 - 2.0, all.x_advance, fe.ascent + 4.0);
    cairo_set_source_rgb(cr, 0.27, 0.42, 0.63);
    cairo_fill(cr);
  }
  cairo_set_source_rgb(cr, 1.0, 1.0, 0.85);
  cairo_move_to(cr, x, baseline);
  cairo_show_text(cr, text.c_str());
  if (!entry.AllSelected()) {
    const double cx = x + head.x_advance + 0.5;
    cairo_move_to(cr, cx, rect.MH() - fe.ascent / 2.0 - 2.0);
    cairo_line_to(cr, cx, rect.MH() + fe.ascent / 2.0 + 2.0);
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
  }
  cairo_restore(cr);
}
