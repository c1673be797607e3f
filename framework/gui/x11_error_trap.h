#pragma once
// X errors on the editor's own connections must never end the host: a host may destroy our
// window with its own before it calls removed(), and Xlib's default handler exits the process.
// While any editor connection is open, a handler ignores errors on those connections (reporting
// them on stderr) and passes every other error on to the handler that was installed before.
typedef struct _XDisplay Display;

class X11ErrorTrap {
public:
  explicit X11ErrorTrap(Display* display);
  ~X11ErrorTrap();
  X11ErrorTrap(const X11ErrorTrap&) = delete;
  X11ErrorTrap& operator=(const X11ErrorTrap&) = delete;

  // Errors seen on this connection so far.
  int Errors() const;

private:
  Display* mDisplay;
};
