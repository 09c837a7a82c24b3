// Netscape User Preferences of the example profile "work".
user_pref("browser.startup.homepage", "http://intranet.example.com/");
