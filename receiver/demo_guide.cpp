// The built-in demo guide (see demo_guide.h).
//
// Sections: the programme pools of each language; the channel's profile; one broadcast day.
// Texts are written here in UTF-8 and stored in Latin-1 (every character is in Latin-1).
#include "receiver/demo_guide.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <string>

#include "sim/clock.h"
#include "sim/latin1.h"

namespace rx {

namespace {

constexpr int64_t kMsPerMinute = 60000;
constexpr int64_t kMsPerDay = 86400000;
constexpr int kDayStart = 6 * 60;           // a broadcast day runs from 06:00 ...
constexpr int kDayEnd = kDayStart + 1440;   // ... to 06:00 the next day (minutes of its date)
constexpr int kLongest = 180;               // minutes

// --- The programme pools of each language ---

enum Kind { Series, Film, Doc, Show, Magazine, Kids, Sport, News, Filler, Music };

// Channel styles, as bits: which channels carry a programme.
enum Style { Public = 1, Commercial = 2, Culture = 4, Children = 8, Newsroom = 16, Radio = 32 };

// Times of day, as bits: when a programme fits.
enum Time { Morning = 1, Day = 2, Evening = 4, Prime = 8, Night = 16, Any = 31 };

struct Item {
    const char *title;
    const char *shortText;  // "" none; for series an episode title is chosen instead
    int minMinutes, maxMinutes;
    Kind kind;
    int styles;
    int times;
};

struct Pools {
    std::vector<Item> items;
    std::vector<Item> fillers;  // 5 to 15 minutes
    std::vector<Item> radio;
    std::vector<const char *> episodes, drama, doc, show, kids, sport, news, music, cast, directors, background;
    const char *castLabel, *directorLabel, *episodeLabel, *lateNews, *radioNews, *goodnight;
};

const Pools &germanPools() {
    static const Pools p{
        {
            {"Morgenmagazin", "", 120, 180, Magazine, Public, Morning},
            {"Frühstücksfernsehen", "", 120, 180, Magazine, Commercial, Morning},
            {"Live nach Neun", "Das Magazin am Vormittag", 45, 60, Magazine, Public, Morning | Day},
            {"Sturm der Liebe", "", 50, 50, Series, Public, Day | Night},
            {"Rote Rosen", "", 50, 50, Series, Public, Day},
            {"In aller Freundschaft", "", 45, 50, Series, Public, Day | Evening | Night},
            {"SOKO Wismar", "", 45, 45, Series, Public, Day | Evening | Night},
            {"Die Rosenheim-Cops", "", 45, 50, Series, Public, Day | Evening | Night},
            {"Großstadtrevier", "", 50, 50, Series, Public, Evening | Night},
            {"Der Bergdoktor", "", 90, 90, Series, Public, Prime},
            {"Tatort", "", 90, 90, Series, Public, Prime | Night},
            {"Wer weiß denn sowas?", "Wissensquiz mit Kai Pflaume", 45, 50, Show, Public, Evening},
            {"Gefragt - Gejagt", "Das Quiz mit Alexander Bommes", 60, 60, Show, Public, Evening},
            {"Brisant", "BRISANT", 40, 45, Magazine, Public, Evening},
            {"Terra X", "Faszination Erde", 45, 45, Doc, Public | Culture, Day | Prime | Night},
            {"Expeditionen ins Tierreich", "Wildes Skandinavien", 45, 45, Doc, Public | Culture, Day | Prime},
            {"Länder - Menschen - Abenteuer", "Unterwegs in Lappland", 45, 45, Doc, Public | Culture, Day},
            {"Die Alpen von oben", "", 45, 90, Doc, Public | Culture, Day | Prime | Night},
            {"planet e.", "Plastik im Meer", 30, 30, Doc, Public | Culture, Day | Night},
            {"Markt", "Das Verbrauchermagazin", 45, 45, Magazine, Public, Prime},
            {"Visite", "Das Gesundheitsmagazin", 60, 60, Magazine, Public | Culture, Day | Prime},
            {"Das Wunder von Bern", "Spielfilm, Deutschland 2003", 115, 115, Film, Public | Commercial, Prime | Night},
            {"Good Bye, Lenin!", "Tragikomödie, Deutschland 2003", 120, 120, Film, Public | Culture, Prime | Night},
            {"Lola rennt", "Thriller, Deutschland 1998", 80, 80, Film, Public | Commercial | Culture, Prime | Night},
            {"Das Boot", "Kriegsfilm, Deutschland 1981", 150, 150, Film, Public | Commercial, Prime | Night},
            {"Die Feuerzangenbowle", "Komödie, Deutschland 1944", 95, 95, Film, Public | Culture, Day | Night},
            {"Der Schuh des Manitu", "Komödie, Deutschland 2001", 90, 90, Film, Commercial, Prime | Night},
            {"Das Leben der Anderen", "Drama, Deutschland 2006", 135, 135, Film, Public | Culture, Prime | Night},
            {"Im Juli", "Roadmovie, Deutschland 2000", 100, 100, Film, Commercial | Culture, Night},
            {"Toni Erdmann", "Komödie, Deutschland/Österreich 2016", 165, 165, Film, Culture, Prime | Night},
            {"Das weiße Band", "Drama, Deutschland/Österreich 2009", 145, 145, Film, Culture | Public, Night},
            {"Punkt 12", "Das Mittagsjournal", 60, 60, Magazine, Commercial, Day},
            {"Explosiv - Das Magazin", "", 30, 30, Magazine, Commercial, Evening},
            {"Gute Zeiten, schlechte Zeiten", "", 30, 30, Series, Commercial, Evening},
            {"Alarm für Cobra 11", "", 60, 60, Series, Commercial, Day | Prime | Night},
            {"Die Simpsons", "", 20, 25, Series, Commercial, Day | Evening | Night},
            {"The Big Bang Theory", "", 20, 25, Series, Commercial, Day | Evening | Night},
            {"Galileo", "Das Wissensmagazin", 60, 60, Magazine, Commercial, Evening},
            {"Wer wird Millionär?", "Quizshow mit Günther Jauch", 120, 120, Show, Commercial, Prime},
            {"Bauer sucht Frau", "Kuppelshow", 90, 90, Show, Commercial, Prime},
            {"Das perfekte Dinner", "Kochduell", 60, 60, Show, Commercial, Day | Evening},
            {"Shopping Queen", "", 60, 60, Show, Commercial, Day},
            {"Auf Streife", "Doku-Soap", 60, 60, Series, Commercial, Day | Night},
            {"Die Höhle der Löwen", "Gründershow", 130, 130, Show, Commercial, Prime},
            {"Die Sendung mit der Maus", "Lach- und Sachgeschichten", 30, 30, Kids, Children, Morning | Day},
            {"Löwenzahn", "", 25, 25, Kids, Children, Morning | Day},
            {"Sesamstraße", "", 25, 25, Kids, Children, Morning | Day},
            {"Pumuckl", "", 25, 25, Kids, Children | Public, Morning | Day},
            {"Wissen macht Ah!", "", 25, 25, Kids, Children, Day | Evening},
            {"Checker Tobi", "", 25, 25, Kids, Children, Day | Evening},
            {"Die Pfefferkörner", "", 25, 25, Kids, Children, Day | Evening},
            {"Shaun das Schaf", "", 5, 10, Kids, Children, Morning | Day | Evening},
            {"logo!", "Nachrichten für Kinder", 10, 10, Kids, Children, Evening},
            {"Kulturzeit", "Das Kulturmagazin", 40, 40, Magazine, Culture, Evening},
            {"nano", "Die Welt von morgen", 30, 30, Magazine, Culture, Evening | Day},
            {"Beethoven: Sinfonie Nr. 9", "Konzert der Wiener Philharmoniker", 75, 90, Music, Culture, Prime | Night},
            {"scobel", "Gesprächsrunde", 60, 60, Show, Culture, Night | Prime},
            {"Im Land der Sámi", "Dokumentation", 90, 90, Doc, Culture | Children, Night | Prime},
            {"Presseclub", "Diskussion", 60, 60, Show, Newsroom, Day | Prime},
            {"Weltspiegel", "Auslandsreportagen", 45, 45, Magazine, Newsroom | Public, Day | Prime},
            {"Bericht aus Berlin", "", 20, 30, Magazine, Newsroom, Day | Evening},
            {"Reportage", "Menschen am Rand der Stadt", 30, 45, Doc, Newsroom, Any},
            {"Die Story", "Im Schatten der Energiewende", 45, 45, Doc, Newsroom | Public, Prime | Night | Day},
            {"Interview der Woche", "", 15, 30, Show, Newsroom, Day | Evening},
            {"Phoenix vor Ort", "Live aus dem Bundestag", 30, 90, Magazine, Newsroom, Day},
            {"Wirtschaft kompakt", "Die Börse am Tag", 10, 15, Magazine, Newsroom, Day | Evening},
            {"Sportschau", "Fußball-Bundesliga", 60, 90, Sport, Public | Newsroom, Evening | Day},
            {"Wintersport", "Biathlon-Weltcup in Hochfilzen", 120, 180, Sport, Public | Commercial, Day},
            {"Ski alpin", "Weltcup-Abfahrt in Gröden", 90, 120, Sport, Public, Day},
        },
        {
            {"Wetter", "", 5, 5, Filler, 31, Any},
            {"Programmhinweise", "", 5, 15, Filler, 31, Any},
            {"Börse vor acht", "", 5, 10, Filler, 31, Any},
        },
        {
            {"Guten Morgen", "Die Morgenshow", 180, 180, Music, Radio, Morning},
            {"Der Vormittag", "Musik und Service", 120, 180, Music, Radio, Day},
            {"Am Mittag", "", 120, 120, Music, Radio, Day},
            {"Der Nachmittag", "Musik, Verkehr und Wetter", 120, 180, Music, Radio, Day | Evening},
            {"Feierabend", "", 60, 120, Music, Radio, Evening},
            {"Hitparade", "Die Charts der Woche", 120, 120, Music, Radio, Prime},
            {"Konzert am Abend", "Live-Mitschnitt", 120, 180, Music, Radio, Prime | Night},
            {"Die Nacht", "Musik bis zum Morgen", 120, 180, Music, Radio, Night},
        },
        {"Tödliche Ernte", "Der letzte Zeuge", "Schatten über dem See", "Falsches Spiel", "Grüße aus Köln",
         "Die Rückkehr", "Blinde Flecken", "Über den Wolken", "Späte Rache", "Das Geständnis", "Brüder",
         "Nebel im Moor"},
        {"Kommissarin Lena Berg wird zu einem Tatort am Hafen gerufen.",
         "Ein alter Bekannter taucht nach Jahren wieder auf und bringt die Familie in Schwierigkeiten.",
         "Die Ermittlungen führen das Team in die Vergangenheit eines angesehenen Bürgermeisters.",
         "Währenddessen muss sich Jonas entscheiden, ob er das Angebot aus München annimmt.",
         "Auf dem Hof der Familie Gruber häufen sich seltsame Unfälle.",
         "Dr. Martin Gruber behandelt eine junge Bergsteigerin, die mehr verschweigt, als sie zugibt.",
         "Ein Streit unter Nachbarn eskaliert, und plötzlich ist einer von ihnen verschwunden.",
         "Als ein Brief ohne Absender eintrifft, gerät das Leben im Dorf aus den Fugen.",
         "Hauptkommissar Brandt zweifelt an der Aussage des einzigen Zeugen.",
         "Die Zeit drängt: Bis zum Morgen muss der Täter gefunden sein.",
         "Am Ende steht eine Entscheidung, die alles verändert.",
         "Zwischen den Kollegen kommt es zu einem folgenschweren Missverständnis."},
        {"Die Dokumentation zeigt die Landschaften Nordeuropas aus ungewöhnlichen Blickwinkeln.",
         "Im Frühling kehren die Zugvögel zurück, und im Moor erwacht das Leben.",
         "Wissenschaftler erklären, wie Gletscher die Alpen geformt haben.",
         "Das Filmteam begleitet eine Rentierzüchterin durch den langen Winter.",
         "Aufwendige Computeranimationen lassen die Urzeit wieder lebendig werden.",
         "Über Jahrhunderte haben Menschen hier mit und von der Natur gelebt.",
         "Warum schrumpfen die Bestände der Wildbienen? Forscherinnen suchen nach Antworten.",
         "Luftaufnahmen zeigen Flüsse, Seen und Wälder, wie man sie selten gesehen hat."},
        {"Die Sendung berichtet über Themen, die Verbraucher bewegen.",
         "Heute geht es um steigende Energiepreise und wie man im Alltag sparen kann.",
         "Drei Kandidaten treten gegeneinander an und beantworten knifflige Fragen.",
         "Im Studio sind prominente Gäste aus Sport und Unterhaltung.",
         "Außerdem: Tipps für den Garten im Herbst und ein Rezept für Apfelstrudel.",
         "Die Moderatorin trifft Menschen, die Außergewöhnliches geleistet haben."},
        {"Die Maus erklärt, wie ein Brot vom Korn bis in den Laden kommt.",
         "Heute geht es um die Frage, warum der Himmel blau ist.",
         "Gemeinsam mit seinen Freunden erlebt er ein spannendes Abenteuer.",
         "Lustige Geschichten zum Lachen und Mitmachen."},
        {"Live-Übertragung mit Vorberichten, Interviews und Analysen.", "Alle Spiele des Tages in Zusammenfassungen.",
         "Die Favoriten kämpfen um wichtige Weltcuppunkte."},
        {"Aktuelle Meldungen aus dem In- und Ausland.", "Mit dem Wetter für die nächsten Tage.",
         "Berichte, Hintergründe und Interviews zu den Themen des Tages."},
        {"Die beste Musik und alles, was heute wichtig ist.", "Mit Verkehr, Wetter und Nachrichten zur vollen Stunde.",
         "Hörerinnen und Hörer wünschen sich ihre Lieblingstitel."},
        {"Anna Schäfer", "Jürgen Vogel", "Katharina Thalbach", "Matthias Brandt", "Ulrike Kriener",
         "Heiner Lauterbach", "Jördis Triebel", "Sebastian Bezzel", "Maria Furtwängler", "Axel Prahl"},
        {"Dominik Graf", "Sherry Hormann", "Andreas Dresen", "Doris Dörrie"},
        {"Der Film wurde an Originalschauplätzen gedreht und mehrfach ausgezeichnet.",
         "Die Kritik lobte vor allem die Kameraarbeit und die überzeugenden Darsteller.",
         "Mehr als drei Millionen Zuschauer sahen den Film im Kino.",
         "Die Musik schrieb ein junges Ensemble aus Leipzig, das damit seinen Durchbruch feierte.",
         "Gedreht wurde in nur 42 Tagen, zum Teil bei eisiger Kälte.",
         "Der Film lief im Wettbewerb der Berlinale und gewann den Publikumspreis.",
         "Für die Hauptdarstellerin war es die erste große Kinorolle.",
         "Die Geschichte beruht lose auf wahren Begebenheiten."},
        "Mit:",
        "Regie:",
        "Folge %d",
        "Spätausgabe",
        "Nachrichten",
        "Unser Sandmännchen",
    };
    return p;
}

const Pools &finnishPools() {
    static const Pools p{
        {
            {"Yle Aamu", "Aamun uutiset ja keskustelut", 120, 180, Magazine, Public | Culture, Morning},
            {"Huomenta Suomi", "", 120, 180, Magazine, Commercial, Morning},
            {"Salatut elämät", "", 25, 30, Series, Commercial, Evening},
            {"Kotikatu", "", 45, 45, Series, Public, Day | Night},
            {"Uusi päivä", "", 25, 30, Series, Commercial, Day | Evening},
            {"Kummeli", "Sketsisarja", 25, 30, Series, Commercial | Public, Day | Night},
            {"Poliisit", "Dokumenttisarja", 45, 60, Series, Commercial, Prime | Night},
            {"Puoli seitsemän", "Ajankohtaisohjelma", 30, 30, Magazine, Public, Evening},
            {"Strömsö", "Kotia ja puutarhaa", 30, 30, Magazine, Public | Culture, Day},
            {"A-studio", "Ajankohtaiskeskustelu", 30, 30, Magazine, Public, Evening | Prime},
            {"Luontodokumentti: Suomen luonto", "Metsän kätköissä", 45, 60, Doc, Public | Culture, Day | Prime},
            {"Docventures", "Dokumenttiprojekti", 60, 60, Doc, Culture | Public, Prime | Night},
            {"Jääkiekko: Liiga", "Kärpät - Tappara", 150, 180, Sport, Public | Commercial, Evening | Prime},
            {"Putous", "Sketsiohjelma", 90, 90, Show, Commercial, Prime},
            {"Vain elämää", "", 60, 90, Show, Commercial, Prime},
            {"Ensitreffit alttarilla", "", 60, 60, Show, Commercial, Prime | Night},
            {"Tuntematon sotilas", "Sotaelokuva, Suomi 1955", 175, 175, Film, Public | Commercial, Prime | Night},
            {"Mies vailla menneisyyttä", "Draama, Suomi 2002", 100, 100, Film, Public | Culture, Prime | Night},
            {"Kauas pilvet karkaavat", "Draama, Suomi 1996", 95, 95, Film, Culture, Night | Day},
            {"Napapiirin sankarit", "Komedia, Suomi 2010", 95, 95, Film, Commercial, Prime | Night},
            {"Pahat pojat", "Rikoselokuva, Suomi 2003", 120, 120, Film, Commercial, Night},
            {"Muumilaakson tarinat", "", 25, 25, Kids, Children | Public, Morning | Day},
            {"Pikku Kakkonen", "Lasten ohjelmia", 30, 60, Kids, Children | Public, Morning | Day | Evening},
            {"Ryhmä Hau", "", 25, 25, Kids, Children | Commercial, Morning | Day},
            {"Late Lammas", "", 5, 10, Kids, Children, Morning | Day},
            {"Kulttuuricocktail", "Kulttuurimakasiini", 30, 45, Magazine, Culture, Evening | Day},
            {"Sinfoniakonsertti", "Radion sinfoniaorkesteri", 90, 120, Music, Culture, Prime | Night},
        },
        {
            {"Sää", "", 5, 5, Filler, 31, Any},
            {"Ohjelmatietoja", "", 5, 15, Filler, 31, Any},
        },
        {
            {"Aamun soitto", "Musiikkia ja uutisia", 180, 180, Music, Radio, Morning},
            {"Päivän soitto", "", 120, 180, Music, Radio, Day},
            {"Iltapäivä", "Musiikkia ja liikennettä", 120, 180, Music, Radio, Day | Evening},
            {"Illan konsertti", "Suora lähetys", 120, 180, Music, Radio, Prime | Night},
            {"Yön musiikki", "", 120, 180, Music, Radio, Night},
        },
        {"Paluu", "Salaisuus", "Yllätysvieras", "Myrsky", "Viimeinen kesä", "Valheita", "Uusi alku", "Kadonnut"},
        {"Komisario Aaltonen saa tutkittavakseen oudon katoamistapauksen.",
         "Perheen arki mullistuu, kun vanha ystävä palaa kaupunkiin.",
         "Jännitys tiivistyy, kun totuus alkaa paljastua.",
         "Liisa joutuu tekemään vaikean päätöksen työn ja perheen välillä.",
         "Kylän rauhallinen elämä järkkyy, kun metsästä löytyy jotain odottamatonta.",
         "Ystävykset lähtevät kesämökille, mutta kaikki ei mene suunnitelmien mukaan."},
        {"Dokumentti kertoo Suomen luonnon vuodenkierrosta.", "Karhut heräävät talviuniltaan Itä-Suomen metsissä.",
         "Kuvaajat seuraavat saimaannorppaa läpi vuoden.", "Ohjelma esittelee Lapin tuntureita ja niiden asukkaita.",
         "Tutkijat selvittävät, miten ilmastonmuutos näkyy järvissä."},
        {"Ohjelmassa käsitellään ajankohtaisia aiheita.", "Studiossa vierailee tunnettuja suomalaisia.",
         "Kilpailijat ratkovat visaisia tehtäviä.", "Lisäksi vinkkejä kotiin ja puutarhaan."},
        {"Muumipeikko ja Pikku Myy lähtevät seikkailuun.", "Hauskoja tarinoita ja lauluja lapsille.",
         "Tänään opitaan, miksi lehdet putoavat syksyllä."},
        {"Suora lähetys asiantuntijakommentein.", "Päivän tulokset ja parhaat maalit."},
        {"Päivän tärkeimmät uutiset kotimaasta ja maailmalta.", "Lopuksi sää."},
        {"Hyvää musiikkia ja päivän puheenaiheet.", "Uutiset tasatunnein.", "Kuulijoiden toivekappaleita."},
        {"Pirkka-Pekka Petelius", "Krista Kosonen", "Peter Franzén", "Laura Birn", "Jasper Pääkkönen",
         "Elina Knihtilä"},
        {"Aki Kaurismäki", "Klaus Härö", "Aku Louhimies"},
        {"Elokuva kuvattiin alkuperäisillä tapahtumapaikoilla.",
         "Kriitikot kehuivat erityisesti näyttelijäsuorituksia.", "Elokuva keräsi teattereissa yli miljoona katsojaa.",
         "Musiikin sävelsi nuori helsinkiläinen yhtye.", "Tarina perustuu löyhästi tositapahtumiin.",
         "Elokuva palkittiin useilla Jussi-palkinnoilla."},
        "Pääosissa:",
        "Ohjaus:",
        "Jakso %d",
        "Myöhäisuutiset",
        "Uutiset",
        "Iltasatu",
    };
    return p;
}

const Pools &englishPools() {
    static const Pools p{
        {
            {"Breakfast", "", 150, 180, Magazine, Public, Morning},
            {"Good Morning Britain", "", 150, 180, Magazine, Commercial, Morning},
            {"Homes Under the Hammer", "", 60, 60, Magazine, Public, Day},
            {"Bargain Hunt", "", 45, 45, Show, Public, Day},
            {"Doctors", "", 30, 30, Series, Public, Day},
            {"Pointless", "Quiz", 45, 45, Show, Public, Evening},
            {"The Chase", "Quiz with Bradley Walsh", 60, 60, Show, Commercial, Evening},
            {"EastEnders", "", 30, 30, Series, Public, Evening | Prime},
            {"Coronation Street", "", 30, 30, Series, Commercial, Evening | Prime},
            {"Emmerdale", "", 30, 30, Series, Commercial, Evening},
            {"Doctor Who", "", 45, 60, Series, Public, Prime},
            {"Midsomer Murders", "", 90, 120, Series, Commercial, Prime | Night},
            {"Gardeners' World", "", 30, 60, Magazine, Public | Culture, Prime | Day},
            {"Antiques Roadshow", "", 60, 60, Show, Public, Prime | Day},
            {"Match of the Day", "Premier League highlights", 75, 90, Sport, Public, Night | Prime},
            {"The Great British Bake Off", "", 75, 75, Show, Commercial, Prime},
            {"Countryfile", "", 60, 60, Magazine, Public, Evening | Day},
            {"University Challenge", "", 30, 30, Show, Public | Culture, Prime},
            {"A Place in the Sun", "", 60, 60, Show, Commercial, Day},
            {"Grand Designs", "", 60, 60, Doc, Commercial, Prime | Night},
            {"Planet Earth III", "Ocean", 60, 60, Doc, Public | Culture, Prime | Day},
            {"Horizon", "", 60, 60, Doc, Public | Culture, Night | Day},
            {"Newsnight", "", 45, 45, Magazine, Culture, Prime},
            {"Later... with Jools Holland", "", 60, 60, Music, Culture, Night},
            {"Great British Railway Journeys", "", 30, 30, Doc, Public | Culture, Day | Evening},
            {"Flog It!", "", 45, 45, Show, Public | Culture, Day},
            {"Only Connect", "Quiz", 30, 30, Show, Culture, Prime | Evening},
            {"Paddington 2", "Comedy, UK 2017", 105, 105, Film, Public | Commercial, Day | Prime},
            {"The King's Speech", "Drama, UK 2010", 120, 120, Film, Public | Culture, Prime | Night},
            {"Notting Hill", "Romantic comedy, UK 1999", 125, 125, Film, Commercial, Prime | Night},
            {"Hot Fuzz", "Comedy, UK 2007", 120, 120, Film, Commercial | Public, Night},
            {"Skyfall", "Action, UK/USA 2012", 145, 145, Film, Commercial, Prime | Night},
            {"Four Weddings and a Funeral", "Comedy, UK 1994", 120, 120, Film, Public | Commercial, Night | Day},
            {"Teletubbies", "", 25, 25, Kids, Children | Public, Morning},
            {"Hey Duggee", "", 5, 10, Kids, Children | Public, Morning | Day},
            {"Blue Peter", "", 30, 30, Kids, Children, Day | Evening},
        },
        {
            {"Weather", "", 5, 5, Filler, 31, Any},
            {"Coming Up", "", 5, 15, Filler, 31, Any},
            {"The National Lottery Draws", "", 10, 10, Filler, 31, Any},
        },
        {
            {"The Breakfast Show", "", 180, 180, Music, Radio, Morning},
            {"Mid-morning", "Music and chat", 120, 180, Music, Radio, Day},
            {"Drivetime", "", 120, 180, Music, Radio, Day | Evening},
            {"Evening Concert", "Live from the Royal Albert Hall", 120, 180, Music, Radio, Prime | Night},
            {"Overnight", "", 120, 180, Music, Radio, Night},
        },
        {"The Return", "A Quiet Village", "Secrets", "The Storm", "Last Orders", "Fresh Start", "Lost and Found",
         "The Visitor"},
        {"Detective Inspector Barnaby investigates a death at the village fete.",
         "An old friend returns with news that changes everything.",
         "Tensions rise in the Square as a secret comes out.",
         "The Doctor and her friends land on a planet where time runs backwards.",
         "A missing letter leads to a surprising discovery.",
         "Meanwhile, Sarah has to choose between her career and her family.",
         "Nothing is quite what it seems in the quiet village of Badger's Drift.",
         "A storm cuts the island off from the mainland."},
        {"The series explores the wild places of our planet.", "Scientists reveal how the oceans shape our weather.",
         "Cameras follow a family of otters through a Scottish winter.",
         "A journey along the length of the river Thames.",
         "How did the first farmers change the landscape of Britain?"},
        {"Contestants answer questions to win the jackpot.", "Experts value treasures brought in by the public.",
         "Plus tips for the garden in autumn.", "Celebrity guests join the team in the studio."},
        {"The Teletubbies play a game of hide and seek.", "Duggee helps the Squirrels earn their cooking badge.",
         "Songs, stories and fun for little ones."},
        {"Highlights of all of today's matches, with analysis.",
         "Live coverage with build-up, interviews and reaction."},
        {"The latest national and international news.", "With the weather forecast."},
        {"The best music and everything you need to know today.", "With news, travel and weather.",
         "Listeners' requests and the stories behind them."},
        {"Olivia Colman", "David Tennant", "Jodie Whittaker", "John Nettles", "Sarah Lancashire", "Idris Elba"},
        {"Sally Wainwright", "Ben Wheatley", "Joanna Hogg"},
        {"The film was shot on location and won several awards.",
         "Critics praised the camera work and the performances of the cast.",
         "More than three million people saw it in cinemas.", "The score was written by a young band from Manchester.",
         "The story is loosely based on true events.", "It was the lead actress's first major film role."},
        "Starring:",
        "Director:",
        "Episode %d",
        "Late edition",
        "News",
        "Bedtime Story",
    };
    return p;
}

// --- The channel's profile ---

struct Profile {
    const Pools *pools;
    int style;
    std::string newsTitle;  // UTF-8
    int lang;               // 0 German, 1 Finnish, 2 English
};

std::string lower(const std::string &s) {
    std::string out = s;
    for (char &c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

bool has(const std::string &text, const char *word) { return text.find(word) != std::string::npos; }

bool endsWith(const std::string &s, const char *tail) {
    size_t n = std::char_traits<char>::length(tail);
    return s.size() >= n && s.compare(s.size() - n, n, tail) == 0;
}

Profile profileOf(const sim::Channel &c) {
    std::string name = lower(c.name), id = lower(c.xmltvId);
    Profile p;
    p.lang = 0;
    if (endsWith(id, ".fi") || has(name, "yle") || has(name, "mtv3") || has(name, "nelonen") ||
        name.rfind("sub", 0) == 0 || has(name, "suomi"))
        p.lang = 1;
    else if (endsWith(id, ".uk") || endsWith(id, ".gb") || has(name, "bbc") || has(name, "itv") ||
             has(name, "channel 4") || has(name, "channel 5"))
        p.lang = 2;
    p.pools = p.lang == 1 ? &finnishPools() : p.lang == 2 ? &englishPools() : &germanPools();

    if (c.type == sim::kRadio)
        p.style = Radio;
    else if (has(name, "tagesschau24") || has(name, "n-tv") || has(name, "welt") || has(name, "news"))
        p.style = Newsroom;
    else if (has(name, "kika") || has(name, "super rtl") || has(name, "nick") || has(name, "disney"))
        p.style = Children;
    else if (has(name, "3sat") || has(name, "arte") || has(name, "alpha") || has(name, "orf iii") ||
             has(name, "teema") || has(name, "bbc two"))
        p.style = Culture;
    else if (has(name, "rtl") || has(name, "vox") || has(name, "sat.1") || has(name, "prosieben") ||
             has(name, "kabel") || has(name, "sixx") || has(name, "puls") || has(name, "atv") ||
             has(name, "servus") || has(name, "mtv3") || has(name, "nelonen") || name.rfind("sub", 0) == 0 ||
             has(name, "itv") || has(name, "channel 4") || has(name, "channel 5"))
        p.style = Commercial;
    else
        p.style = Public;

    static const struct {
        const char *word;
        const char *title;
    } kNews[] = {{"zdf", "heute"},          {"3sat", "heute"},        {"orf", "Zeit im Bild"},
                 {"br ", "Rundschau"},      {"rtl", "RTL Aktuell"},   {"sat.1", "SAT.1 Nachrichten"},
                 {"prosieben", "Newstime"}, {"n-tv", "n-tv Nachrichten"}, {"yle", "Yle Uutiset"},
                 {"mtv3", "Kymmenen uutiset"}, {"nelonen", "Nelosen uutiset"}, {"bbc", "BBC News"},
                 {"itv", "ITV News"},       {"channel 4", "Channel 4 News"}, {"channel 5", "5 News"},
                 {"das erste", "Tagesschau"}, {"tagesschau", "Tagesschau"}, {"one", "Tagesschau"}};
    p.newsTitle = p.pools->radioNews;
    for (const auto &n : kNews) {
        if (has(name + " ", n.word)) {
            p.newsTitle = n.title;
            break;
        }
    }
    return p;
}

// --- One broadcast day ---

// A small deterministic random source (splitmix64).
class Random {
public:
    explicit Random(uint64_t seed) : state_(seed) {}
    uint64_t next() {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int below(int n) { return n <= 0 ? 0 : static_cast<int>(next() % static_cast<uint64_t>(n)); }
    bool chance(int percent) { return below(100) < percent; }
    template <typename T>
    const T &pick(const std::vector<T> &v) {
        return v[static_cast<size_t>(below(static_cast<int>(v.size())))];
    }

private:
    uint64_t state_;
};

uint64_t hashOf(const std::string &s) {
    uint64_t h = 1469598103934665603ull;
    for (unsigned char c : s)
        h = (h ^ c) * 1099511628211ull;
    return h;
}

int timeOfDay(int minuteOfDate) {
    int m = minuteOfDate % 1440;
    if (m >= 360 && m < 540)
        return Morning;
    if (m >= 540 && m < 1020)
        return Day;
    if (m >= 1020 && m < 1215)
        return Evening;
    if (m >= 1215 && m < 1380)
        return Prime;
    return Night;
}

// An event of the day being built: minutes from 00:00 of its date; texts in UTF-8.
struct Slot {
    int start, length;
    std::string title, shortText, desc;
};

struct Anchor {
    int at;      // minute of the date
    int length;  // minutes
    int what;    // 0 the news, 1 the late news, 2 the goodnight story
};

std::vector<Anchor> anchorsOf(int style) {
    switch (style) {
    case Public: return {{720, 15, 0}, {1020, 15, 0}, {1200, 15, 0}, {1335, 30, 1}};
    case Commercial: return {{1125, 25, 0}};
    case Culture: return {{1140, 20, 0}};
    case Children: return {{1190, 10, 2}};
    case Radio: return {{420, 5, 0}, {480, 5, 0}, {720, 5, 0}, {1020, 5, 0}, {1080, 5, 0}};
    case Newsroom: {
        std::vector<Anchor> a;
        for (int h = 6; h < 30; ++h)
            a.push_back({h * 60, 15, 0});
        return a;
    }
    }
    return {};
}

class DayBuilder {
public:
    DayBuilder(const Profile &p, int mjd, Random &rnd) : p_(p), pools_(*p.pools), mjd_(mjd), rnd_(rnd) {}

    std::vector<Slot> build() {
        std::vector<Anchor> anchors = anchorsOf(p_.style);
        int t = kDayStart;
        for (const Anchor &a : anchors) {
            fill(t, a.at);
            Slot s{a.at, a.length, anchorTitle(a), a.what == 1 ? pools_.lateNews : "", ""};
            used_.clear();
            s.desc = a.what == 2 ? sentences(pools_.kids, 1) : sentences(pools_.news, 2);
            slots_.push_back(s);
            t = a.at + a.length;
        }
        fill(t, kDayEnd);
        return slots_;
    }

private:
    const Profile &p_;
    const Pools &pools_;
    int mjd_;
    Random &rnd_;
    std::vector<Slot> slots_;
    std::vector<const char *> used_;  // sentences of the description being written

    std::string anchorTitle(const Anchor &a) const { return a.what == 2 ? pools_.goodnight : p_.newsTitle; }

    // The programmes a channel of this style carries at this time of day.
    std::vector<const Item *> candidates(int minute) const {
        int style = p_.style;
        // Children's channels hand over to documentaries at night.
        if (style == Children && (minute % 1440 >= 1260 || minute % 1440 < 360)) {
            std::vector<const Item *> docs = candidatesFor(Culture, minute);
            docs.erase(std::remove_if(docs.begin(), docs.end(), [](const Item *i) { return i->kind != Doc; }),
                       docs.end());
            if (!docs.empty())
                return docs;
        }
        return candidatesFor(style, minute);
    }

    // Those of a style that fit the time of day, else all of the style; a style without
    // programmes of its own in this language borrows the public channels' ones.
    std::vector<const Item *> candidatesFor(int style, int minute) const {
        const std::vector<Item> &pool = style == Radio ? pools_.radio : pools_.items;
        std::vector<const Item *> out, anyTime;
        for (const Item &it : pool) {
            if (!(it.styles & style))
                continue;
            anyTime.push_back(&it);
            if (it.times & timeOfDay(minute))
                out.push_back(&it);
        }
        if (out.empty() && anyTime.empty() && style != Public && style != Radio)
            return candidatesFor(Public, minute);
        return out.empty() ? anyTime : out;
    }

    void fill(int from, int to) {
        int t = from;
        while (t < to) {
            int left = to - t;
            if (left <= 15) {
                add(t, left, rnd_.pick(pools_.fillers));
                return;
            }
            std::vector<const Item *> c = candidates(t);
            if (c.empty()) {
                add(t, std::min(left, kLongest), rnd_.pick(pools_.fillers));
                t += std::min(left, kLongest);
                continue;
            }
            // Not the programme that just ran, when there is another.
            if (c.size() > 1 && !slots_.empty())
                c.erase(
                    std::remove_if(c.begin(), c.end(), [&](const Item *i) { return slots_.back().title == i->title; }),
                    c.end());
            const Item &it = *c[static_cast<size_t>(rnd_.below(static_cast<int>(c.size())))];
            int span = (it.maxMinutes - it.minMinutes) / 5;
            int length = it.minMinutes + 5 * rnd_.below(span + 1);
            if (length >= left || left - length < 15)
                length = left <= kLongest ? left : std::min(length, left - 15);
            add(t, length, it);
            t += length;
        }
    }

    void add(int start, int length, const Item &it) {
        Slot s{start, length, it.title, it.shortText, ""};
        used_.clear();
        switch (it.kind) {
        // The parts of a text are drawn from the random source one statement at a time: the
        // order in which the operands of one expression run differs between compilers, and the
        // guide must be the same on every build.
        case Series: {
            s.shortText = rnd_.pick(pools_.episodes);
            char line[64];
            std::snprintf(line, sizeof line, pools_.episodeLabel, 1 + (mjd_ * 7 + start) % 240);
            std::string story = paragraphs(pools_.drama, 1 + rnd_.below(2));
            std::string names = cast(3);
            s.desc = std::string(line) + "\n" + story + "\n" + names;
            break;
        }
        case Film: {
            // Long texts: several paragraphs, one film in four past what the plug-in keeps.
            int storyParagraphs = rnd_.chance(25) ? 7 : 3 + rnd_.below(3);
            std::string story = paragraphs(pools_.drama, storyParagraphs);
            std::string background = paragraphs(pools_.background, 1 + rnd_.below(2));
            std::string names = cast(5);
            std::string director = rnd_.pick(pools_.directors);
            s.desc = story + "\n" + background + "\n" + names + "\n" + pools_.directorLabel + " " + director;
            break;
        }
        case Doc: s.desc = paragraphs(pools_.doc, 1 + rnd_.below(3)); break;
        case Show:
        case Magazine:
            s.desc = paragraphs(p_.style == Newsroom ? pools_.news : pools_.show, 1 + rnd_.below(2));
            break;
        case Kids: s.desc = sentences(pools_.kids, 1 + rnd_.below(2)); break;
        case Sport: s.desc = sentences(pools_.sport, 2); break;
        case News: s.desc = sentences(pools_.news, 2); break;
        case Music: s.desc = sentences(pools_.music, 1 + rnd_.below(2)); break;
        case Filler: break;
        }
        slots_.push_back(s);
    }

    // Sentences of a pool, none twice in one description while the pool has fresh ones.
    std::string sentences(const std::vector<const char *> &pool, int n) {
        std::string s;
        for (int i = 0; i < n; ++i) {
            std::vector<const char *> fresh;
            for (const char *p : pool)
                if (std::find(used_.begin(), used_.end(), p) == used_.end())
                    fresh.push_back(p);
            const char *p = rnd_.pick(fresh.empty() ? pool : fresh);
            used_.push_back(p);
            s += (s.empty() ? "" : " ") + std::string(p);
        }
        return s;
    }

    std::string paragraphs(const std::vector<const char *> &pool, int n) {
        std::string s;
        for (int i = 0; i < n; ++i)
            s += (s.empty() ? "" : "\n") + sentences(pool, 2 + rnd_.below(3));
        return s;
    }

    std::string cast(int n) {
        std::string s = pools_.castLabel;
        std::vector<const char *> names = pools_.cast;
        for (int i = 0; i < n && !names.empty(); ++i) {
            size_t k = static_cast<size_t>(rnd_.below(static_cast<int>(names.size())));
            s += std::string(i == 0 ? " " : ", ") + names[k];
            names.erase(names.begin() + static_cast<long>(k));
        }
        return s;
    }
};

// Makes the day's slots into events: a few gaps of 3 to 7 minutes, and now and then an event
// broadcast twice in a row.
void appendDay(const Profile &p, const std::string &channelKey, int mjd, std::vector<sim::GuideEvent> &out) {
    Random rnd(hashOf(channelKey) ^ (static_cast<uint64_t>(mjd) * 0x2545F4914F6CDD1Dull));
    std::vector<Slot> slots = DayBuilder(p, mjd, rnd).build();
    int gaps = rnd.below(3);  // 0..2 a day, never two after one event, never after the day's last
    int shortened = -1;
    for (int g = 0; g < gaps && slots.size() > 2; ++g) {
        int k = rnd.below(static_cast<int>(slots.size()) - 1);
        Slot &s = slots[static_cast<size_t>(k)];
        if (k != shortened && s.length >= 20) {
            s.length -= 3 + rnd.below(5);
            shortened = k;
        }
    }
    int repeated = rnd.chance(35) ? rnd.below(static_cast<int>(slots.size())) : -1;
    int64_t dayMs = (static_cast<int64_t>(mjd) - sim::kMjdOf1970) * kMsPerDay;
    for (size_t i = 0; i < slots.size(); ++i) {
        const Slot &s = slots[i];
        sim::GuideEvent e;
        e.startMs = dayMs + s.start * kMsPerMinute;
        e.endMs = e.startMs + s.length * kMsPerMinute;
        e.eventId = static_cast<uint16_t>(((mjd & 63) << 10) | (static_cast<int>(i) & 1023));
        e.title = sim::utf8ToLatin1(s.title);
        e.shortText = sim::utf8ToLatin1(s.shortText);
        e.extText = sim::utf8ToLatin1(s.desc);
        out.push_back(e);
        if (static_cast<int>(i) == repeated)
            out.push_back(e);
    }
}

}  // namespace

std::vector<sim::GuideEvent> demoSchedule(const sim::Channel &channel, int firstMjd, int days) {
    Profile p = profileOf(channel);
    std::vector<sim::GuideEvent> events;
    for (int d = 0; d < days; ++d)
        appendDay(p, channel.name, firstMjd + d, events);
    return events;
}

long installDemoGuide(sim::Epg &epg, const std::vector<sim::Channel> &lineup, int64_t clockMs) {
    int today = sim::Clock::toCivil(clockMs).mjd;
    long count = 0;
    int number[2] = {0, 0};
    for (const sim::Channel &c : lineup) {
        int svcNum = number[c.type == sim::kRadio ? 1 : 0]++;
        std::vector<sim::GuideEvent> events = demoSchedule(c, today - 1, kDemoGuideDays + 1);
        count += static_cast<long>(events.size());
        epg.setSchedule(c.type, svcNum, std::move(events));
    }
    return count;
}

}  // namespace rx
