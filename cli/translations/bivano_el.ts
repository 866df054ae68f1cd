<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="el_GR">
<context>
    <name>bivano</name>
    <message>
        <source>bivano: %1
Try: bivano --help
</source>
        <translation>bivano: %1
Δείτε: bivano --help
</translation>
    </message>
    <message>
        <source>option --%1 is given once</source>
        <translation>η επιλογή --%1 δίνεται μία φορά</translation>
    </message>
    <message>
        <source>invalid value “%1” for --%2</source>
        <translation>άκυρη τιμή «%1» για την --%2</translation>
    </message>
    <message>
        <source>unknown scheme “%1”: %2</source>
        <translation>άγνωστο πρότυπο «%1»: %2</translation>
    </message>
    <message>
        <source>--scheme goes with latin</source>
        <translation>η --scheme ισχύει για την latin</translation>
    </message>
    <message>
        <source>--accents goes with greek</source>
        <translation>η --accents ισχύει για την greek</translation>
    </message>
    <message>
        <source>--output needs a file name</source>
        <translation>η --output θέλει όνομα αρχείου</translation>
    </message>
    <message>
        <source>--directory needs a folder</source>
        <translation>η --directory θέλει φάκελο</translation>
    </message>
    <message>
        <source>--output and --directory do not go together</source>
        <translation>οι --output και --directory δεν δίνονται μαζί</translation>
    </message>
    <message>
        <source>--directory needs file names, not -</source>
        <translation>η --directory θέλει ονόματα αρχείων, όχι -</translation>
    </message>
    <message>
        <source>not a regular file: left as it is</source>
        <translation>δεν είναι κανονικό αρχείο· μένει όπως ήταν</translation>
    </message>
    <message>
        <source>line %1, column %2: character U+%3 cannot be written in windows-1253</source>
        <translation>γραμμή %1, στήλη %2: ο χαρακτήρας U+%3 δεν γράφεται σε windows-1253</translation>
    </message>
    <message>
        <source>the word list is in an encoding that cannot be read (its .aff names a SET other than UTF-8 and ISO8859-7)</source>
        <translation>το λεξικό είναι σε κωδικοποίηση που δεν διαβάζεται (το .aff του ορίζει άλλο SET από UTF-8 και ISO8859-7)</translation>
    </message>
    <message>
        <source>the word list is not in the encoding its .aff names</source>
        <translation>το λεξικό δεν είναι στην κωδικοποίηση που ορίζει το .aff του</translation>
    </message>
    <message>
        <source>not a list of Greek words</source>
        <translation>δεν είναι λεξικό ελληνικών λέξεων</translation>
    </message>
    <message>
        <source>: the text stays without accents</source>
        <translation>: το κείμενο μένει χωρίς τόνους</translation>
    </message>
    <message>
        <source>its result would overwrite that of %1 (%2): not written</source>
        <translation>το αποτέλεσμα θα έγραφε πάνω σε εκείνο του %1 (%2): δεν γράφεται</translation>
    </message>
    <message>
        <source>not written over the file itself</source>
        <translation>δεν γράφεται πάνω στο ίδιο το αρχείο</translation>
    </message>
    <message>
        <source>(standard input)</source>
        <translation>(τυπική είσοδος)</translation>
    </message>
    <message>
        <source>(standard output)</source>
        <translation>(τυπική έξοδος)</translation>
    </message>
    <message>
        <source>--chat goes with accents</source>
        <translation>η --chat ισχύει με τους τόνους</translation>
    </message>
    <message>
        <source>the Greek reader&apos;s model is damaged or of another version</source>
        <translation>το μοντέλο ελληνικών του προγράμματος είναι κατεστραμμένο ή άλλης έκδοσης</translation>
    </message>
    <message>
        <source>the file cannot be read</source>
        <translation>το αρχείο δεν διαβάζεται</translation>
    </message>
    <message>
        <source>Usage: bivano latin [OPTIONS] [FILE...]
       bivano greek [OPTIONS] [FILE...]
       bivano accents [OPTIONS] [FILE...]
Converts text from Greek letters to Latin ones (latin) or back (greek), or
gives Greek typed without accents its accents and correct spelling (accents).
With no FILE, or with -, reads standard input. The results of several files
are written one after another.

Letters (latin; greek reads every spelling):
  -x, --xi 3|j|ks         ξ (default 3)
  -t, --theta 8|u|th      θ (default 8)
  -p, --psi c|ps          ψ (default c)
  -w, --omega w|v         ω (default w)
  -s, --scheme NAME       how latin writes: lativo (the default, with the four
                          choices above), elot743 (passports, ISO 843
                          transcription), iso843 (reversible transliteration),
                          alalc (Library of Congress), bgn1962, slug
Output:
  -o, --output FILE       writes to FILE, only once everything has converted
  -d, --directory FOLDER  writes each FILE into FOLDER under its own name
      --force             replaces a write-protected output file too
      --credit            adds four line breaks and the program&apos;s credit
                          line, as the window does
      --accents           (greek) with accents and correct spelling
      --chat              (with the accents) writes out chat abbreviations
                          that stand alone: k και, dn δεν, m μου, s σου,
                          p που, gt γιατί, tpt τίποτα, dld δηλαδή, tlk
                          τελικά, ntks εντάξει, kl καλά, smr σήμερα, tespa
                          τέλος πάντων
      --dictionary FILE   (with the accents) a hunspell word list to read
                          them with (default: the program&apos;s own model of
                          Greek)
Encodings:
      --from auto|utf-8|utf-16|windows-1253|iso-8859-7   (default auto;
                          only auto guesses: in a named encoding, bytes
                          that cannot be read become U+FFFD, with a
                          warning that gives the first one&apos;s place)
      --to utf-8|windows-1253                            (default utf-8)
  -h, --help              this help
  -V, --version           the version

Exit status: 0 success, 1 a file that could not be read or written,
2 wrong usage.
Report bugs at https://www.example.org
</source>
        <translation>Χρήση: bivano latin [ΕΠΙΛΟΓΕΣ] [ΑΡΧΕΙΟ...]
       bivano greek [ΕΠΙΛΟΓΕΣ] [ΑΡΧΕΙΟ...]
       bivano accents [ΕΠΙΛΟΓΕΣ] [ΑΡΧΕΙΟ...]
Μετατρέπει κείμενο από Ελληνικά σε Lativo (latin) ή από Lativo σε Ελληνικά (greek),
ή βάζει τόνους και διορθώνει την ορθογραφία ελληνικού κειμένου (accents).
Χωρίς ΑΡΧΕΙΟ, ή με -, διαβάζει την τυπική είσοδο. Τα αποτελέσματα πολλών αρχείων
γράφονται το ένα μετά το άλλο.

Γραφή γραμμάτων (latin· η greek τα διαβάζει όλα):
  -x, --xi 3|j|ks         ξ (προεπιλογή 3)
  -t, --theta 8|u|th      θ (προεπιλογή 8)
  -p, --psi c|ps          ψ (προεπιλογή c)
  -w, --omega w|v         ω (προεπιλογή w)
  -s, --scheme ΟΝΟΜΑ      πρότυπο γραφής (latin): lativo (προεπιλογή, με τις
                          τέσσερις επιλογές), elot743 (διαβατήρια, ISO 843
                          μεταγραφή), iso843 (αντιστρέψιμη μεταγραμμάτιση),
                          alalc (Library of Congress), bgn1962, slug
Έξοδος:
  -o, --output ΑΡΧΕΙΟ     γράφει στο ΑΡΧΕΙΟ, μόνο όταν μετατραπούν όλα
  -d, --directory ΦΑΚΕΛΟΣ γράφει κάθε ΑΡΧΕΙΟ στον ΦΑΚΕΛΟ με το ίδιο όνομα
      --force             αντικαθιστά και προστατευμένο αρχείο εξόδου
      --credit            προσθέτει τέσσερις αλλαγές γραμμής και τη γραμμή
                          του προγράμματος, όπως το παράθυρο
      --accents           (greek) με τόνους και ορθογραφία
      --chat              (με τους τόνους) γράφει ολόκληρες τις συντομογραφίες
                          της συνομιλίας, όπου στέκονται μόνες: k και, dn δεν,
                          m μου, s σου, p που, gt γιατί, tpt τίποτα, dld
                          δηλαδή, tlk τελικά, ntks εντάξει, kl καλά, smr
                          σήμερα, tespa τέλος πάντων
      --dictionary ΑΡΧΕΙΟ (με τους τόνους) ένα λεξικό hunspell για τους
                          τόνους (προεπιλογή: το μοντέλο ελληνικών του
                          προγράμματος)
Κωδικοποιήσεις:
      --from auto|utf-8|utf-16|windows-1253|iso-8859-7   (προεπιλογή auto·
                          μόνο η auto μαντεύει: σε κωδικοποίηση με όνομα, τα
                          byte που δεν διαβάζονται γίνονται U+FFFD, με
                          προειδοποίηση για τη θέση του πρώτου)
      --to utf-8|windows-1253                            (προεπιλογή utf-8)
  -h, --help              αυτή η βοήθεια
  -V, --version           η έκδοση

Κατάσταση εξόδου: 0 επιτυχία, 1 αρχείο που δεν διαβάστηκε ή δεν γράφτηκε,
2 λάθος χρήση.
Αναφορές σφαλμάτων: https://www.example.org
</translation>
    </message>
    <message>
        <source>a symbolic link to no file: left as it is</source>
        <translation>συμβολικός σύνδεσμος σε αρχείο που δεν υπάρχει· μένει όπως ήταν</translation>
    </message>
    <message>
        <source>write-protected: left as it is (--force replaces it)</source>
        <translation>προστατευμένο από εγγραφή· μένει όπως ήταν (η --force το αντικαθιστά)</translation>
    </message>
    <message>
        <source>the temporary file in %1: %2</source>
        <translation>το προσωρινό αρχείο στο %1: %2</translation>
    </message>
    <message>
        <source>input file is output file</source>
        <translation>το αρχείο εισόδου είναι το αρχείο εξόδου</translation>
    </message>
    <message>
        <source>--dictionary goes with accents</source>
        <translation>η --dictionary ισχύει με τους τόνους</translation>
    </message>
    <message>
        <source>--dictionary needs a file name</source>
        <translation>η --dictionary θέλει όνομα αρχείου</translation>
    </message>
    <message>
        <source>line %1, column %2: byte 0x%3 is undefined in %4: read as U+FFFD</source>
        <translation>γραμμή %1, στήλη %2: το byte 0x%3 δεν ορίζεται στην %4: διαβάστηκε ως U+FFFD</translation>
    </message>
    <message>
        <source>line %1, column %2: byte 0x%3 is not valid %4: read as U+FFFD</source>
        <translation>γραμμή %1, στήλη %2: το byte 0x%3 δεν είναι έγκυρο %4: διαβάστηκε ως U+FFFD</translation>
    </message>
    <message>
        <source>line %1, column %2: byte 0x%3 is not valid %4, and windows-1253 has nothing to write in its place</source>
        <translation>γραμμή %1, στήλη %2: το byte 0x%3 δεν είναι έγκυρο %4, και η windows-1253 δεν έχει τίποτα να γράψει στη θέση του</translation>
    </message>
    <message>
        <source>the file is larger than a word list can be (%1 MiB)</source>
        <translation>το αρχείο είναι μεγαλύτερο από όσο μπορεί να είναι ένα λεξικό (%1 MiB)</translation>
    </message>
    <message>
        <source>the .aff file beside it cannot be read (or is not a regular file)</source>
        <translation>το αρχείο .aff δίπλα του δεν διαβάζεται (ή δεν είναι κανονικό αρχείο)</translation>
    </message>
    <message>
        <source>bivano: out of memory
</source>
        <translation>bivano: η μνήμη εξαντλήθηκε
</translation>
    </message>
    <message>
        <source>
Two more commands take the options of the encodings and the output:
  bivano layout [OPTIONS] [FILE...]
      repairs text typed with the wrong keyboard layout on, Greek (Linux&apos;s and
      Windows&apos; standard one) or US: Kalhm;era -&gt; Καλημέρα, ηελλο -&gt; hello;
      a word changes only when its other reading is a known word, or
      plainly better, and the words around it agree
  bivano auto [OPTIONS] [FILE...]
      converts each line the way its words show: Greek letters to Latin
      ones (with -x -t -p -w -s), Greeklish to Greek with accents (--chat);
      English stays as it is
</source>
        <translation>
Δύο ακόμη εντολές δέχονται τις επιλογές των κωδικοποιήσεων και της εξόδου:
  bivano layout [ΕΠΙΛΟΓΕΣ] [ΑΡΧΕΙΟ...]
      διορθώνει κείμενο που γράφτηκε με λάθος διάταξη πληκτρολογίου, την ελληνική
      (την τυπική του Linux και των Windows) ή την αμερικανική: Kalhm;era -&gt; Καλημέρα,
      ηελλο -&gt; hello· μια λέξη αλλάζει μόνο όταν η άλλη ανάγνωσή της είναι γνωστή
      λέξη, ή φανερά καλύτερη, και συμφωνούν οι λέξεις γύρω της
  bivano auto [ΕΠΙΛΟΓΕΣ] [ΑΡΧΕΙΟ...]
      μετατρέπει κάθε γραμμή όπως δείχνουν οι λέξεις της: ελληνικά γράμματα σε
      λατινικά (με -x -t -p -w -s), greeklish σε ελληνικά με τόνους (--chat)·
      τα αγγλικά μένουν όπως είναι
</translation>
    </message>
    <message>
        <source>missing command: latin, greek, accents, layout or auto</source>
        <translation>λείπει η εντολή: latin, greek, accents, layout ή auto</translation>
    </message>
    <message>
        <source>unknown command “%1”: latin, greek, accents, layout or auto</source>
        <translation>άγνωστη εντολή «%1»: latin, greek, accents, layout ή auto</translation>
    </message>
    <message>
        <source>: no word can be judged, the text stays as it is</source>
        <translation>: καμία λέξη δεν μπορεί να κριθεί, το κείμενο μένει όπως είναι</translation>
    </message>
</context>
</TS>
