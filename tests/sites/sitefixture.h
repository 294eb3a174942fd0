#pragma once

#include <chrono>

#include <QApplication>
#include <QDateTime>
#include <QLocale>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include "convert/uFormats.h"
#include "core/uSettings.h"
#include "httpserver.h"
#include "locations/uDownload.h"
#include "sites/uAutoUpdate.h"
#include "sites/uUpdateItems.h"
#include "testing.h"

// A site index with `body` inside "pois".
inline std::string SiteXml(const std::string& body)
{
    return "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><pois>" + body + "</pois>";
}

// The targets of `items`, in their order.
inline QStringList Targets(const TUpdateItems& items = AutoUpdateItems())
{
    QStringList targets;
    for (int i = 0; i < items.Count(); ++i)
        targets.append(items.Items(i).Target);
    return targets;
}

// The targets of the stored AutoUpdate items.
inline QStringList StoredTargets()
{
    TUpdateItems stored;
    stored.Load();
    return Targets(stored);
}

// A POI site on the loopback server: its index, POI files with the server's times, and
// AutoUpdate items writing into a folder of the test's own.
class SiteTest : public ::testing::Test {
protected:
    using TResponse = THttpTestServer::TResponse;

    SiteTest()
    {
        AutoUpdateItems().Load(); // the fresh folder's: none
        Settings().DownloadImages = false;
        using namespace std::chrono_literals;
        SetDownloadTimeouts({ .Idle = 2s, .PoiFile = 20s, .Answer = 20s });
    }

    // A site index at `path` with `body` inside "pois".
    TResponse& ServeSite(const QByteArray& path, const std::string& body)
    {
        TResponse& index = Server.Serve(path, QByteArray::fromStdString(SiteXml(body)));
        index.Headers = "Cache-Control: no-cache\r\n";
        return index;
    }

    // A POI file in the OV2 format whose one entry is `name`, last modified at `time`.
    TResponse& ServePoi(const QByteArray& path, const std::string& name, const QDateTime& time)
    {
        TResponse& poi =
            Server.Serve(path, QByteArray::fromStdString(Ov2Record(2, 450000, 5210000, { name })));
        poi.Headers = "Last-Modified: " + HttpDate(time) + "\r\nCache-Control: no-cache\r\n";
        return poi;
    }

    static QByteArray HttpDate(const QDateTime& time)
    {
        return QLocale::c()
            .toString(time.toUTC(), QStringLiteral("ddd, dd MMM yyyy hh:mm:ss 'GMT'"))
            .toLatin1();
    }

    // The "lastmodified" answer for `time`.
    static QByteArray SiteTime(const QDateTime& time)
    {
        return time.toString(QStringLiteral("yyyyMMdd hhmmss")).toLatin1();
    }

    QString Target(const QString& name) const
    {
        return QStringLiteral("FILE://") + Dir.filePath(name);
    }

    // A site in the test's folder, file `name`, whose index is `body`; its location.
    QString LocalSite(const QString& name, const std::string& body) const
    {
        WriteFileBytes(Dir.filePath(name), SiteXml(body));
        return Target(name);
    }

    // A stored item; the reference stays good while the item is stored.
    TUpdateItem& Subscribe(const QString& site, const QString& poi, const QString& target,
        const QString& format = QStringLiteral("gengpx"))
    {
        auto item = std::make_unique<TUpdateItem>();
        item->Site = site;
        item->Poi = poi;
        item->Target = target;
        item->Format = format;
        TUpdateItem& added = *item;
        AutoUpdateItems().Add(std::move(item));
        AutoUpdateItems().Save();
        return added;
    }

    // Whether the server was asked for `path`.
    bool Requested(const QByteArray& path) const
    {
        for (const QByteArray& head : Server.Requests)
            if (head.split(' ').value(1).startsWith(path))
                return true;
        return false;
    }

    TBuiltInFormats Formats;
    THttpTestServer Server;
    QTemporaryDir Dir;
};

// Scripted answers to the overwrite question, and the questions asked.
class TScriptedOverwrite : public IOverwriteQuestion {
public:
    TOverwriteAnswer AskOverwrite(const QString& question) override
    {
        Questions.append(question);
        return Answer;
    }

    TOverwriteAnswer Answer = TOverwriteAnswer::Yes;
    QStringList Questions;
};

// The button (or check box) of `window` whose caption is `caption`, or null.
template <class T = QPushButton> T* ButtonOf(const QWidget* window, const QString& caption)
{
    for (T* button : window->findChildren<T*>())
        if (button->text() == caption)
            return button;
    return nullptr;
}

// Hands each modal window that comes up over `owner` to `answer` until it says it was the last
// one to answer, or this goes away.
class TModalAnswers {
public:
    TModalAnswers(const QWidget* owner, const std::function<bool(QWidget*)>& answer)
    {
        QObject::connect(&Timer, &QTimer::timeout, [this, owner, answer] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal && modal != owner && answer(modal))
                Timer.stop();
        });
        Timer.start(10);
    }

private:
    QTimer Timer;
};
