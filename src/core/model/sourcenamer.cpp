#include "sourcenamer.h"

#include <QSet>
#include <QUrl>

namespace {

struct KnownHost
{
    const char *suffix;
    const char *name;
};

// Searched in order: a company's specific hosts come before its general domain.
constexpr KnownHost kKnown[] = {
    {"mail.google.com", "Gmail"},
    {"mail-attachment.googleusercontent.com", "Gmail"},
    {"drive.google.com", "Google Drive"},
    {"docs.google.com", "Google Drive"},
    {"drive.usercontent.google.com", "Google Drive"},
    {"chatgpt.com", "ChatGPT"},
    {"openai.com", "ChatGPT"},
    {"oaiusercontent.com", "ChatGPT"},
    {"claude.ai", "Claude"},
    {"claudeusercontent.com", "Claude"},
    {"canva.com", "Canva"},
    {"x.com", "X"},
    {"twitter.com", "X"},
    {"twimg.com", "X"},
    {"slack.com", "Slack"},
    {"slack-edge.com", "Slack"},
    {"whatsapp.com", "WhatsApp"},
    {"whatsapp.net", "WhatsApp"},
    {"github.com", "GitHub"},
    {"githubusercontent.com", "GitHub"},
    {"figma.com", "Figma"},
    {"notion.so", "Notion"},
    {"dropbox.com", "Dropbox"},
    {"dropboxusercontent.com", "Dropbox"},
    {"pinterest.com", "Pinterest"},
    {"pinimg.com", "Pinterest"},
    {"instagram.com", "Instagram"},
    {"cdninstagram.com", "Instagram"},
    {"youtube.com", "YouTube"},
    {"googlevideo.com", "YouTube"},
    {"reddit.com", "Reddit"},
    {"redd.it", "Reddit"},
    {"linkedin.com", "LinkedIn"},
    {"licdn.com", "LinkedIn"},
    {"telegram.org", "Telegram"},
    {"discord.com", "Discord"},
    {"discordapp.com", "Discord"},
    {"discordapp.net", "Discord"},
    {"outlook.com", "Outlook"},
    {"office.com", "Outlook"},
    {"live.com", "Outlook"},
    {"sharepoint.com", "SharePoint"},
    {"wetransfer.com", "WeTransfer"},
    {"apple.com", "Apple"},
    {"icloud.com", "iCloud"},
    {"chromewebstore.google.com", "Extensions"},
    {"amazon.com", "Amazon"},
    {"amazon.in", "Amazon"},
    {"zoom.us", "Zoom"},
    {"gemini.google.com", "Gemini"},
    {"aistudio.google.com", "Gemini"},
    {"bing.com", "Bing"},
    {"stripe.com", "Stripe"},
    {"huggingface.co", "Hugging Face"},
    {"vercel.com", "Vercel"},
    {"unsplash.com", "Unsplash"},
    {"wikipedia.org", "Wikipedia"},
    {"wikimedia.org", "Wikipedia"},
    {"medium.com", "Medium"},
    {"substack.com", "Substack"},
    {"perplexity.ai", "Perplexity"},
    {"gumroad.com", "Gumroad"},
    {"googleusercontent.com", "Google"},
    {"google.com", "Google"},
};
static_assert(std::size(kKnown) == 64);

// Content-delivery and storage hosts say nothing about who shared a file.
constexpr const char *kDelivery[] = {
    "cloudfront.net",  "amazonaws.com", "azureedge.net",           "blob.core.windows.net",
    "akamaihd.net",    "akamaized.net", "fastly.net",              "b-cdn.net",
    "r2.cloudflarestorage.com", "r2.dev", "googleapis.com",
};
static_assert(std::size(kDelivery) == 11);

bool hostMatches(const QString &host, QLatin1StringView suffix)
{
    if (host == suffix)
        return true;
    return host.size() > suffix.size() && host.endsWith(suffix) &&
           host.at(host.size() - suffix.size() - 1) == u'.';
}

bool isDelivery(const QString &host)
{
    for (const char *suffix : kDelivery)
        if (hostMatches(host, QLatin1StringView(suffix)))
            return true;
    return false;
}

const QSet<QString> &secondLevel()
{
    static const QSet<QString> labels = {"co", "com", "org", "net", "ac", "gov", "edu"};
    return labels;
}

} // namespace

namespace SourceNamer {

std::optional<QString> name(const QStringList &whereFroms)
{
    QStringList hosts;
    QString first;
    for (const QString &entry : whereFroms) {
        if (entry.isEmpty())
            continue;
        if (entry.startsWith(u"chrome-extension://") || entry.startsWith(u"moz-extension://"))
            return QStringLiteral("Extensions");
        const QUrl url(entry, QUrl::StrictMode);
        if (url.isValid() && !url.host().isEmpty() && entry.contains(u"://"))
            hosts.append(url.host().toLower());
        else if (first.isEmpty())
            first = entry;
    }
    if (!hosts.isEmpty()) {
        for (const QString &host : hosts)
            for (const KnownHost &row : kKnown)
                if (hostMatches(host, QLatin1StringView(row.suffix)))
                    return QString::fromLatin1(row.name);
        for (auto it = hosts.crbegin(); it != hosts.crend(); ++it)
            if (!isDelivery(*it))
                return registrable(*it);
        return registrable(hosts.last());
    }
    if (first.isEmpty())
        return std::nullopt;
    return first;
}

QString registrable(const QString &host)
{
    const QStringList labels = host.split(u'.', Qt::SkipEmptyParts);
    if (labels.size() < 3)
        return host;
    qsizetype keep = 2;
    if (labels.last().size() == 2 && secondLevel().contains(labels.at(labels.size() - 2)))
        keep = 3;
    return labels.mid(labels.size() - keep).join(u'.');
}

} // namespace SourceNamer
