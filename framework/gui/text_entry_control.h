#pragma once
// The text field as a control of the editor: drawn over the control that asked for it, it takes
// the keyboard until Enter (or a click elsewhere) completes it or Escape cancels it.
#include "framework/gui/control.h"
#include "framework/gui/text_entry.h"

#include <cairo.h>

#include <functional>
#include <memory>
#include <string>

// The completed text, or null when the entry was cancelled.
using TextEntryDone = std::function<void(const std::string* text)>;

// Opens a field over rect (design coordinates) of the caller's editor, filled with text. One
// field per editor: a new one completes the old. False when the caller has no editor.
bool ShowTextEntry(IControl& caller, const IRECT& rect, const std::string& text, float fontSize,
                   size_t maxChars, cairo_font_face_t* font, TextEntryDone done);

class ITextEntryControl : public IControl {
public:
  ITextEntryControl();
  void Draw(IGraphics& g) override;
  void OnMouseDown(float x, float y, const IMouseMod& mod) override;
  // While open the field takes every click, so a click elsewhere completes it.
  bool IsHit(float, float) const override { return IsOpen(); }

  void Open(const IRECT& rect, const std::string& text, float fontSize, size_t maxChars,
            cairo_font_face_t* font, TextEntryDone done);
  bool IsOpen() const { return mEntry != nullptr; }
  bool OnKey(const IKeyPress& key);
  // Ends the field: with the text (complete) or without (cancel).
  void Finish(bool complete);
  const TextEntry* Entry() const { return mEntry.get(); }

private:
  std::unique_ptr<TextEntry> mEntry;
  IRECT mField;
  float mFontSize = 14.f;
  cairo_font_face_t* mFont = nullptr;
  TextEntryDone mDone;
};

// The editor's text field, if one was ever opened.
ITextEntryControl* FindTextEntry(IGraphics& g);
