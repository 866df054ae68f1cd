<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="el_GR">
<context>
    <name>QCommandLineParser</name>
    <message>
        <source>Unknown option '%1'.</source>
        <translation>Άγνωστη επιλογή «%1».</translation>
    </message>
    <message>
        <source>Unknown options: %1.</source>
        <translation>Άγνωστες επιλογές: %1.</translation>
    </message>
    <message>
        <source>Missing value after '%1'.</source>
        <translation>Λείπει η τιμή μετά την «%1».</translation>
    </message>
    <message>
        <source>Unexpected value after '%1'.</source>
        <translation>Απρόσμενη τιμή μετά την «%1».</translation>
    </message>
</context>
</TS>
