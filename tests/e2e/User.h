// A user at the keyboard and the mouse: follows a script of steps while the
// real program runs its message loop, pressing the setup window's buttons and
// answering the real Qt message boxes as they open, after checking what each
// box shows. A box that the script does not expect, or a step that never
// becomes possible, is a test failure; the user then gets the program to end
// (Escape on boxes, closing the window) so the test never hangs.
#pragma once

#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

// How a box is answered.
enum class Press {
  Enter,       // the key, on the widget that has the focus
  Escape,      // the key
  AltY,        // Alt+Y, the access key of "はい(&Y)"
  AltN,        // Alt+N, the access key of "いいえ(&N)"
  ClickFirst,  // a mouse click on the leftmost button
  ClickSecond  // a mouse click on the second button from the left
};

struct Step {
  enum class Kind { ClickOk, ClickCancel, Box } kind = Kind::Box;
  // For a box: what it must show (UTF-8), and how it is answered.
  std::string title;
  std::string text;
  std::vector<std::string> buttons;  // captions, left to right
  std::string defaultButton;
  std::string escapeButton;
  Press press = Press::Enter;
};

Step ClickOk();
Step ClickCancel();
// A Yes/No question of the program ("確認", Yes default, No on Escape).
Step Question(std::string text, Press press);
// A confirmation box with OK alone.
Step Notice(std::string text, Press press = Press::Enter);
// A plain message with OK alone, titled with the application's title.
Step Message(std::string text, Press press = Press::Enter);

// What the user saw when a box opened, in UTF-8.
struct SeenBox {
  std::string title;
  std::string text;
  std::vector<std::string> buttons;
  std::string defaultButton;
  std::string escapeButton;
  std::string statusLine;  // the setup window's status line at that moment
  bool applicationModal = false;
};

class User : public QObject {
 public:
  explicit User(std::vector<Step> script);
  ~User() override;

  // Starts watching; the steps are taken once the message loop runs.
  void Start();
  void Stop();

  // Steps taken so far, boxes seen in order, and what went wrong.
  size_t StepsTaken() const { return next_; }
  const std::vector<SeenBox>& Seen() const { return seen_; }
  const std::vector<std::string>& Problems() const { return problems_; }

 private:
  void Poll();
  void Answer(QMessageBox* box, Press press);
  void GiveUp(const std::string& why);
  // Runs an action once the current poll has returned.
  void Later(std::function<void()> action);

  std::vector<Step> script_;
  size_t next_ = 0;
  std::vector<SeenBox> seen_;
  std::vector<std::string> problems_;
  QTimer timer_;
  std::chrono::steady_clock::time_point deadline_;
  bool givenUp_ = false;
  bool pending_ = false;
  QPointer<QMessageBox> answered_;  // the box answered last, while it exists  // an action is scheduled and has not begun
};

// Checks that the boxes seen are those the script expected, in order.
void ExpectBoxesAsScripted(const User& user, const std::vector<Step>& script);
