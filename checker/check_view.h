// What the check pass needs from the window: the upper text box, the report box, the level,
// the progress box, the event loop and message boxes. The window implements it; so do the
// command-line checker and the tests.
#pragma once

#include <cstddef>
#include <string>

#include "sjis/sjis_text.h"

namespace torvane::checker {

enum class TextColor { Black, Red, Grey };

enum class MessageKind { Warning, Information };

struct Message {
  MessageKind kind = MessageKind::Information;
  std::string title;  // UTF-8
  std::string text;   // UTF-8
  bool operator==(const Message&) const = default;
};

class CheckView {
 public:
  virtual ~CheckView() = default;

  // Upper text box. Offsets and lengths count bytes of text().
  // Line breaks as CR LF. The pass reads the text once and walks it by reference while it runs
  // the event loop, so the view must keep the text it returns valid and unchanged until the pass
  // returns: it hands over a converted copy it owns, not the box's own storage, and changes
  // that copy only when text() is called again. (The window also keeps the box read-only and
  // refuses a second check while one runs, so the colours it maps back land on the same text.)
  virtual const sjis::SjisText& text() = 0;
  virtual void setSelectionStart(std::size_t offset) = 0;
  virtual void setSelectionLength(std::size_t length) = 0;  // also scrolls the caret into view
  virtual void setSelectionColor(TextColor color) = 0;
  virtual void beginTextUpdate() = 0;  // redrawing off until endTextUpdate
  virtual void endTextUpdate() = 0;

  // Report box.
  virtual void beginReportUpdate() = 0;
  virtual void endReportUpdate() = 0;
  virtual void clearReport() = 0;
  // Appends one line; false when the box refused it.
  virtual bool addReportLine(const sjis::SjisText& line) = 0;

  // The level drop-down: 0 to 6, or -1 for typed text. Read afresh for every character.
  virtual int levelIndex() = 0;

  // Progress box.
  virtual void showProgress(const sjis::SjisChar& c) = 0;
  virtual void setProgressVisible(bool visible) = 0;

  // Lets the window repaint and react to input. False asks the pass to stop at once, because
  // the window is closing.
  virtual bool processPendingEvents() = 0;

  // A modal message box with one OK button; returns when it is closed.
  virtual void showMessage(const Message& message) = 0;
};

}  // namespace torvane::checker
