#include "framework/gui/text_entry_control.h"

#include "framework/gui/graphics.h"

ITextEntryControl::ITextEntryControl() : IControl(IRECT(), kNoParameter) {
  Hide(true);
}

ITextEntryControl* FindTextEntry(IGraphics& g) {
  for (int i = g.NControls() - 1; i >= 0; --i)
    if (auto* c = dynamic_cast<ITextEntryControl*>(g.GetControl(i))) return c;
  return nullptr;
}

bool ShowTextEntry(IControl& caller, const IRECT& rect, const std::string& text, float fontSize,
                   size_t maxChars, cairo_font_face_t* font, TextEntryDone done) {
  IGraphics* g = caller.GetUI();
  if (!g) return false;
  ITextEntryControl* field = FindTextEntry(*g);
  if (!field) field = static_cast<ITextEntryControl*>(g->AttachControl(new ITextEntryControl()));
  field->Open(rect, text, fontSize, maxChars, font, std::move(done));
  return true;
}

void ITextEntryControl::Open(const IRECT& rect, const std::string& text, float fontSize,
                             size_t maxChars, cairo_font_face_t* font, TextEntryDone done) {
  if (IsOpen()) Finish(true);
  mEntry = std::make_unique<TextEntry>(text, maxChars);
  mField = rect;
  mFontSize = fontSize;
  mFont = font;
  mDone = std::move(done);
  SetTargetAndDrawRECTs(rect);
  Hide(false);
  SetDirty(false);
  GetUI()->SetKeyHandler([this](float, float, const IKeyPress& key) { return OnKey(key); });
  if (IGraphicsPlatform* p = GetUI()->GetPlatform()) p->SetKeyboardFocus(true);
}

void ITextEntryControl::Draw(IGraphics& g) {
  if (mEntry && g.GetDrawContext())
    DrawTextEntry(g.GetDrawContext(), *mEntry, mField, mFontSize, mFont);
}

void ITextEntryControl::OnMouseDown(float x, float y, const IMouseMod&) {
  // A click in the field keeps editing; anywhere else it completes.
  if (IsOpen() && !mField.Contains(x, y)) Finish(true);
}

bool ITextEntryControl::OnKey(const IKeyPress& key) {
  if (!mEntry) return false;
  const bool taken = mEntry->OnKey(key);
  SetDirty(false);
  if (!mEntry->IsEditing()) Finish(mEntry->State() == TextEntry::EState::kCompleted);
  return taken;
}

void ITextEntryControl::Finish(bool complete) {
  if (!mEntry) return;
  const std::string text = mEntry->Text();
  TextEntryDone done = std::move(mDone);
  mEntry.reset();
  mDone = nullptr;
  SetDirty(false); // the area under the field is drawn again
  Hide(true);
  if (IGraphics* g = GetUI()) {
    g->SetKeyHandler(nullptr);
    if (IGraphicsPlatform* p = g->GetPlatform()) p->SetKeyboardFocus(false);
  }
  if (done) done(complete ? &text : nullptr);
}
