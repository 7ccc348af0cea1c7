<?php
// Pagequill site script settings. Put this file OUTSIDE your website: by default in the folder
// above the site's folder (the one that holds pagequill/), or wherever PQ_CONFIG_FILE at the
// top of pagequill/index.php points. Make it readable by its owner only: chmod 600.
// The script refuses to run while this file lies inside the website or anyone may read it.
//
// Only password, flags and backup_dir need to be set; every other line may be deleted and then
// takes the value shown.
return [
    // The publishing password, as you type it in Pagequill. It has to be stored as it is:
    // Pagequill proves it knows the password by hashing it with a fresh pass key, so the
    // script needs the password itself - a stored hash of it cannot work with this protocol.
    // That is why this file must stay out of the website and unreadable to others.
    'password' => 'change me',

    // Three letters, Y or N each:
    //   1st: Y = the text of links may be edited
    //   2nd: Y = Pagequill may ask for the password to be e-mailed to you (see email_to)
    //   3rd: Y = every page is editable; N = only pages with <meta name="pqedit" content="y">
    'flags' => 'YNY',

    // Where the previous version of every published page is kept, named
    // <page path>.<YYYYMMDD-HHMMSS> (UTC). Must lie outside the website; created if missing.
    'backup_dir' => '/home/me/pagequill-backups',

    // How many earlier versions of each page to keep.
    'revisions' => 20,

    // Where pass keys and wrong-password counts are kept (a locked file). Outside the website.
    // Empty: a folder pagequill-state beside this file.
    'state_dir' => '',

    // Password e-mail (2nd flag Y): the address it goes to, an optional From address, and the
    // least number of seconds between two e-mails. Sent with PHP's mail().
    'email_to' => '',
    'email_from' => '',
    'mail_interval' => 60,

    // Seconds a pass key stays valid, and how many documents (page and frames) one covers.
    'key_lifetime' => 600,
    'keys_per_issue' => 200,

    // Largest page accepted, in bytes. PHP's own post_max_size must be larger still.
    'max_body' => 16 * 1024 * 1024,

    // Wrong passwords, counted per visitor address: after slow_after of them each next try
    // must wait 1, 2, 4 ... 64 seconds; after lockout_after the address is refused for
    // lockout_seconds.
    'slow_after' => 3,
    'lockout_after' => 10,
    'lockout_seconds' => 900,

    // Wrong passwords from all addresses together: after site_slow_after of them (within an
    // hour, none right in between) each next try on the whole site must wait 1, 2, 4 ...
    // seconds, at most site_max_delay. Guessing from many addresses then gets about one try a
    // minute; the owner gets in, from any address, once the guessing stops.
    'site_slow_after' => 20,
    'site_max_delay' => 60,
];
