#include "SecretStoreKeychain.h"

#include <qt6keychain/keychain.h>

namespace {

SecretStore::Status statusOf(const QKeychain::Job &job)
{
    switch (job.error()) {
    case QKeychain::NoError:
        return SecretStore::Status::Ok;
    case QKeychain::EntryNotFound:
        return SecretStore::Status::NotFound;
    default:
        qInfo("The secret store did not answer: %s", qPrintable(job.errorString()));
        return SecretStore::Status::Unavailable;
    }
}

template <typename JobType> JobType *newJob(const QString &name)
{
    auto *job = new JobType(QString::fromLatin1(KeychainSecretStore::kService));
    job->setKey(name);
    // Never into a settings file in plain text, whatever the platform lacks.
    job->setInsecureFallback(false);
    job->setAutoDelete(true);
    return job;
}

} // namespace

void KeychainSecretStore::read(const QString &name, QObject *context,
                               std::function<void(Status, const QString &)> done)
{
    auto *job = newJob<QKeychain::ReadPasswordJob>(name);
    // The connection ends with context: nothing runs for a window that is gone.
    QObject::connect(job, &QKeychain::Job::finished, context, [job, done] {
        const Status status = statusOf(*job);
        done(status, status == Status::Ok ? job->textData() : QString());
    });
    job->start();
}

void KeychainSecretStore::write(const QString &name, const QString &secret, QObject *context,
                                std::function<void(Status)> done)
{
    auto finished = [done, removing = secret.isEmpty()](QKeychain::Job *job) {
        const Status status = statusOf(*job);
        // Removing what was never stored leaves the store as asked.
        done(removing && status == Status::NotFound ? Status::Ok : status);
    };
    if (secret.isEmpty()) {
        auto *job = newJob<QKeychain::DeletePasswordJob>(name);
        QObject::connect(job, &QKeychain::Job::finished, context, finished);
        job->start();
        return;
    }
    auto *job = newJob<QKeychain::WritePasswordJob>(name);
    job->setTextData(secret);
    QObject::connect(job, &QKeychain::Job::finished, context, finished);
    job->start();
}
