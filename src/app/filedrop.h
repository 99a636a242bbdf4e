#pragma once

#include <QObject>

class QLineEdit;

// Lets a file field take a file dropped from the file manager: the field then holds the file's
// local path, not its file:// address. Other drops keep the field's own handling.
class FileDrop : public QObject
{
    Q_OBJECT

  public:
    // Watches field for as long as the field lives.
    explicit FileDrop(QLineEdit& field);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QLineEdit& m_field;
};
