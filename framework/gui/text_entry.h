#pragma once
// A single-line text field over a control: UTF-8 text with a cursor, a limit in characters,
// Enter completes and Escape cancels. Typing first replaces the whole text, as the field opens
// with everything selected. The field is only state; the window feeds it keys and draws it.
#include "framework/gui/geometry.h"
#include "framework/gui/text.h"

#include <cairo.h>

#include <string>

class TextEntry {
public:
  enum class EState { kEditing, kCompleted, kCancelled };

  TextEntry(const std::string& initial, size_t maxChars);

  // Handles a key press (X keysym and typed text); false when the key means nothing here.
  bool OnKey(const IKeyPress& key);
  // Types text at the cursor: control characters are dropped, broken UTF-8 is mended, and what
  // does not fit the limit is left out.
  void Insert(const std::string& text);
  void Backspace();
  void Delete();
  void MoveLeft();
  void MoveRight();
  void Home();
  void End();
  void Complete();
  void Cancel();

  EState State() const { return mState; }
  bool IsEditing() const { return mState == EState::kEditing; }
  const std::string& Text() const { return mText; }
  size_t Cursor() const { return mCursor; } // byte position
  bool AllSelected() const { return mAllSelected; }
  size_t MaxChars() const { return mMaxChars; }

private:
  void ReplaceSelection();

  std::string mText;
  size_t mCursor;
  size_t mMaxChars;
  bool mAllSelected = true;
  EState mState = EState::kEditing;
};

// Draws the field in rect (in the context's coordinates): a dark box, the text in the style's
// font and size, the selection and the cursor.
void DrawTextEntry(cairo_t* cr, const TextEntry& entry, const IRECT& rect, float fontSize,
                   cairo_font_face_t* font);
