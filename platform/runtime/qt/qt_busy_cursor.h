// The busy pointer while a command runs: shown at once over the program's windows, given back as
// the normal pointer while a dialog of the command waits for the user.
#pragma once

namespace vimbrel {

class BusyCursor {
 public:
  BusyCursor();
  ~BusyCursor();
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;
};

// While one lives (a dialog is open), the pointer is the normal one even inside a BusyCursor.
class NormalCursor {
 public:
  NormalCursor();
  ~NormalCursor();
  NormalCursor(const NormalCursor&) = delete;
  NormalCursor& operator=(const NormalCursor&) = delete;

 private:
  bool pushed_;
};

}  // namespace vimbrel
