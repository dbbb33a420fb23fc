// The built-in plain-text editor: a window with the file's text, Save and
// Close.  Used for the system's text editor when no external one is named.
#include <QDialog>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "frontend/winlayer/qtbridge.hpp"

namespace winlayer::detail {

namespace {

class EditorWindow : public QDialog {
 public:
  explicit EditorWindow(const QString& path) : m_path(path) {
    setWindowTitle(QFileInfo(path).fileName() + QStringLiteral(" - Editor"));
    resize(720, 520);
    m_text = new QPlainTextEdit(this);
    m_text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFile f(path);
    if (f.open(QIODevice::ReadOnly)) m_text->setPlainText(QString::fromLocal8Bit(f.readAll()));
    m_text->document()->setModified(false);
    auto* save = new QPushButton(QStringLiteral("Save"), this);
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    connect(save, &QPushButton::clicked, this, [this] { saveFile(); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(save);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
    layout->addLayout(buttons);
  }

 protected:
  // Close, Escape and the window's close box all end here (the toolkit's
  // close event of a dialog rejects it); the window stays open only when
  // the person keeps it to go on editing, or saving fails.
  void reject() override {
    if (mayClose()) QDialog::reject();
  }

 private:
  bool mayClose() {
    if (!m_text->document()->isModified()) return true;
    const auto answer = QMessageBox::question(this, windowTitle(), QStringLiteral("Save the changes?"),
                                              QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
    return answer == QMessageBox::Discard || (answer == QMessageBox::Save && saveFile());
  }

  bool saveFile() {
    QFile f(m_path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
      QMessageBox::warning(this, windowTitle(), QStringLiteral("Cannot write ") + m_path);
      return false;
    }
    f.write(m_text->toPlainText().toLocal8Bit());
    m_text->document()->setModified(false);
    return true;
  }

  QString m_path;
  QPlainTextEdit* m_text;
};

}  // namespace

void openBuiltinEditor(const std::string& path, bool wait) {
  auto* w = new EditorWindow(QString::fromStdString(path));
  if (wait) {
    w->exec();
    delete w;
    return;
  }
  w->setAttribute(Qt::WA_DeleteOnClose, true);
  w->show();
}

}  // namespace winlayer::detail
