#include "TestCertificates.h"

#include <QProcess>

#include <stdexcept>

namespace testservers {

void Openssl(const TempFolder& folder, const QStringList& arguments)
{
    QProcess process;
    process.setWorkingDirectory(QString::fromStdString(folder.path()));
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QString::fromStdString(RequireProgram("openssl")), arguments);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        throw std::runtime_error("openssl " + arguments.join(' ').toStdString() + " failed: "
                                 + process.readAll().toStdString());
}

void MakeCertificateAuthority(const TempFolder& folder, const QString& commonName)
{
    Openssl(folder, {"req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes", "-keyout",
                     "ca.key", "-out", "ca.pem", "-days", "2", "-subj", "/CN=" + commonName});
}

void MakeCertificate(const TempFolder& folder, const QString& name, const QString& altNames, const QString& ca)
{
    folder.write(name.toStdString() + ".cnf", "subjectAltName=" + altNames.toStdString() + "\n");
    Openssl(folder, {"req", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes", "-keyout", name + ".key", "-out", name + ".csr",
                     "-subj", "/CN=" + name});
    QStringList sign{"x509", "-req", "-in", name + ".csr", "-out", name + ".pem", "-days", "2", "-extfile",
                     name + ".cnf"};
    if (ca.isEmpty())
        sign << "-signkey" << name + ".key";
    else
        sign << "-CA" << ca + ".pem" << "-CAkey" << ca + ".key" << "-CAcreateserial";
    Openssl(folder, sign);
}

} // namespace testservers
