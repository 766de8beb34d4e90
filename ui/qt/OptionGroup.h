#pragma once

#include <QList>
#include <QObject>
#include <initializer_list>

class QRadioButton;

namespace brackwin {

// Makes option buttons one stop in the Tab order, as a group of them is on Windows: Tab reaches
// only the selected button, and the arrow keys move to the previous or the next button, round
// the group, and select it. A click still gives any of them the focus.
class OptionGroup final : public QObject {
  public:
    OptionGroup(std::initializer_list<QRadioButton*> buttons, QObject* parent);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void UpdateTabStop();
    void MoveFrom(QRadioButton* from, int step);

    QList<QRadioButton*> buttons_;
};

}  // namespace brackwin
