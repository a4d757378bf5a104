// The base of a test class whose every test has a fresh temporary folder of its own.
#pragma once

#include <QObject>
#include <QString>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace quarzello {

class FolderTest : public QObject {
    Q_OBJECT

  protected slots:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
    }

  protected:
    std::unique_ptr<QTemporaryDir> dir_;
    QString path(const QString& name) const { return dir_->filePath(name); }
};

}  // namespace quarzello
