#include "show/texts.h"

// Every scroller text but the pause ends in 20 spaces, one strip width, so that its last
// character has left the view when the scroller reports the end.

const char SCROLL_DEDICATION[] = "WE MADE THIS FOR THE GLORBO 00 PARTY"
                                 "                    ";

const char SCROLL_PAUSE[] = "   ";

const char SCROLL_SINE[] =
    "WOOOPEEEE A SINE SCROLLER ===================> THATS IT ........ NO SOPHISTICATED MATH "
    "ALGOS IN HERE"
    "                    ";

const char SCROLL_RETURN[] =
    "GOOD NEWS: OUR LOGO MAN PIXELGNOME IS ACTIVE AGAIN AND PAINTS FRESH LOGOS FASTER THAN EVER "
    "(THIS ONE TOOK A NIGHT)! SPECIAL GREETINGS GO TO WIBBLEMAN AND ZOOTY WHO ARE STILL AROUND "
    "BUT DO NOTHING AT ALL... \"HEY YOU TWO: WHEN DO WE ALL MEET FOR A REUNION?\""
    "                    ";

const char SCROLL_PART2[] =
    "PART 2 OF MY MESSAGE: GREETINGS TO ALL OF YOU WHO HELP TO KEEP THE AMIGA SCENE ALIVE, YOU "
    "ROCK! SPECIAL GREETINGS TO MISS FLORBINA FOR HER SUPPORT DURING ALL THOSE NIGHTS OF CODING. "
    "AND REMEMBER: \"OLD SCHOOL NEVER DIES - IT ONLY GETS MORE PIXELS!\" SIGNING OFF... TORMUX"
    "                    ";

// Pages: 12 rows of 20 characters, one string line per row.

WriterPage g_PageCredits = {0, 0, 0, 0,
                            "CREDITS FOR THIS    "
                            "                    "
                            "CODE ........ TORMUX"
                            "GFX ..... PIXELGNOME"
                            "     OF VEXORIUM    "
                            "(GREAT) MUSIC BY    "
                            " NOODLEBOX GLUB+WEX "
                            "                    "
                            "  SORRY FOR USING A "
                            "    RIPPED MODULE   "
                            " BUT AFTER 10 YEARS "
                            "WE HAD NO MUSICIANS "};

WriterPage g_PageGreetings1 = {0, 0, 0, 0,
                               "GREETINGS           "
                               "                    "
                               "WOBBLIX             "
                               "              SNORKO"
                               "KRUMBLE 24          "
                               "           BLOOP AND"
                               "SOGGY TOASTERS      "
                               "                    "
                               " FUZZWARDS .......  "
                               "   MOST OF THEM     "
                               "      ARE INACTIVE  "
                               "  ANYWAY            "};

WriterPage g_PageGreetings2 = {0, 0, 0, 0,
                               "GREETINGS 2ND PART  "
                               "                    "
                               "GLIMBO              "
                               " ZOOTY              "
                               "  MANGLOR           "
                               "   WIBBLEMAN        "
                               "    KNURD (SIC) !   "
                               "     PLOPMASTER     "
                               "      OGGLEBERT     "
                               "       ZUB          "
                               "        YOMBRA      "
                               "                    "};

WriterPage g_PageContact = {0, 0, 0, 0,
                            " CONTACT US AT      "
                            "                    "
                            "                    "
                            "                    "
                            "  WWW.QRX.INVALID   "
                            "                    "
                            "                    "
                            "                    "
                            "                    "
                            "                    "
                            " QRX IN 2002        "
                            "           THE END  "};
