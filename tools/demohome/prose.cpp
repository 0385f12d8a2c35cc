#include "prose.h"

#include <array>

namespace {

const std::array<const char *, 14> kWork = {
    "Revenue for the quarter came in four percent above the plan, driven by renewals in the north "
    "region.",
    "The support backlog fell from 212 to 96 open tickets after the new triage rota started.",
    "We agreed to move the launch to the second week of the month to leave time for a security "
    "review.",
    "Hiring for the two engineering roles is on track, with final interviews booked for next "
    "Tuesday.",
    "Travel costs were higher than expected because of the conference in Lisbon.",
    "The migration to the new billing system is eighty percent done; the last step is the invoice "
    "export.",
    "Please send comments on the draft budget to Priya before Friday.",
    "Customer interviews point to onboarding as the biggest source of confusion.",
    "The vendor contract renews automatically unless we give notice by the end of the month.",
    "Marketing will share the campaign results at the next all-hands meeting.",
    "Action items: Sam to update the roadmap, Alex to review the pricing page, Jo to book the "
    "offsite.",
    "Uptime for the last ninety days was 99.95 percent, with one incident in March.",
    "The design team proposed a simpler settings page with three sections instead of seven.",
    "We will revisit the headcount plan once the second-half forecast is final.",
};

const std::array<const char *, 12> kPersonal = {
    "The rent is due on the first day of each month and is paid by bank transfer.",
    "The tenant may not sublet the flat without written consent from the landlord.",
    "Preheat the oven to 180 degrees and grease a loaf tin with a little butter.",
    "Mash three ripe bananas with a fork, then stir in the melted butter and sugar.",
    "The next appointment is booked for the morning of the 14th at the health centre.",
    "Remember to renew the passport at least six months before the trip.",
    "The boiler was serviced in October and the engineer left the certificate in the drawer.",
    "Total income for the year includes salary, interest and a small amount of freelance work.",
    "The warranty covers parts and labour for two years from the date of purchase.",
    "Layer the pasta sheets with the sauce and cheese, finishing with a layer of sauce.",
    "The parking permit has to be displayed on the dashboard at all times.",
    "Keep all receipts for work equipment, as they can be claimed back at the end of the year.",
};

const std::array<const char *, 12> kCourse = {
    "A random variable assigns a number to every outcome of an experiment.",
    "The mean of a sample is a good estimate of the population mean when the sample is large.",
    "Variance measures how far the values are spread out from their average.",
    "The central limit theorem says that sums of many independent variables are close to normal.",
    "A confidence interval gives a range of plausible values for an unknown parameter.",
    "Correlation does not imply causation, as the ice cream and sunburn example shows.",
    "In a hypothesis test we compare the observed statistic with its distribution under the null.",
    "The p-value is the probability of a result at least as extreme as the one observed.",
    "Linear regression fits a straight line that minimises the sum of squared residuals.",
    "Homework is due at noon on Friday and must be submitted as a single PDF.",
    "Bring a calculator to the exam; phones are not allowed in the hall.",
    "Exercise 4: show that the variance of a sum of independent variables is the sum of the "
    "variances.",
};

const std::array<const char *, 10> kProject = {
    "Run npm install, then npm start to serve the site on port 8080.",
    "The build writes the static files to the dist folder.",
    "Images are resized at build time, so commit only the originals.",
    "The contact form posts to a small serverless function.",
    "Styles live in one stylesheet; keep selectors shallow.",
    "Pages are plain HTML with a shared header and footer.",
    "Deploys run automatically when the main branch changes.",
    "Use the staging site to check changes before they go live.",
    "Fonts are self-hosted to avoid third-party requests.",
    "Analytics are off by default and respect Do Not Track.",
};

const char *pick(Rng &rng, Prose::Subject subject)
{
    switch (subject) {
    case Prose::Subject::work:
        return kWork[size_t(rng.index(qsizetype(kWork.size())))];
    case Prose::Subject::personal:
        return kPersonal[size_t(rng.index(qsizetype(kPersonal.size())))];
    case Prose::Subject::course:
        return kCourse[size_t(rng.index(qsizetype(kCourse.size())))];
    case Prose::Subject::project:
        return kProject[size_t(rng.index(qsizetype(kProject.size())))];
    }
    return kWork[0];
}

} // namespace

QString Prose::sentence(Rng &rng, Subject subject)
{
    return QString::fromUtf8(pick(rng, subject));
}

QStringList Prose::paragraphs(Rng &rng, Subject subject, int count)
{
    QStringList out;
    for (int i = 0; i < count; ++i) {
        QStringList sentences;
        const int n = int(rng.range(2, 5));
        for (int s = 0; s < n; ++s) {
            const QString next = sentence(rng, subject);
            if (!sentences.contains(next))
                sentences.append(next);
        }
        out.append(sentences.join(u' '));
    }
    return out;
}
