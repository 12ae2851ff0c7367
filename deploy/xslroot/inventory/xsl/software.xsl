<?xml version="1.0" encoding="UTF-8"?>
<!-- Korvex_Software: one instance per installed Package; a get keeps the
     package whose name (written as PackageName) and architecture are the
     keys. InstallDate is given in seconds since 1970. -->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
  <xsl:include href="resulttext.xsl"/>
  <xsl:output method="text" encoding="UTF-8"/>

  <xsl:variable name="get" select="/QRVCIM/@cim-operation = 'get'"/>
  <xsl:variable name="name" select="string(/QRVCIM/Attributes/Required[@name = 'PackageName']/@value)"/>
  <xsl:variable name="architecture" select="string(/QRVCIM/Attributes/Required[@name = 'Architecture']/@value)"/>

  <xsl:template match="/">
    <xsl:choose>
      <xsl:when test="$get">
        <xsl:apply-templates select="/QRVCIM/Inventory/Packages/Package[@name = $name][@architecture = $architecture]"/>
      </xsl:when>
      <xsl:otherwise>
        <xsl:apply-templates select="/QRVCIM/Inventory/Packages/Package"/>
      </xsl:otherwise>
    </xsl:choose>
  </xsl:template>

  <xsl:template match="Package">
    <xsl:text>instance of Korvex_Software&#10;{&#10;</xsl:text>
    <xsl:call-template name="string-property">
      <xsl:with-param name="name" select="'Name'"/>
      <xsl:with-param name="value" select="@name"/>
    </xsl:call-template>
    <xsl:call-template name="string-property">
      <xsl:with-param name="name" select="'Architecture'"/>
      <xsl:with-param name="value" select="@architecture"/>
    </xsl:call-template>
    <xsl:call-template name="string-property">
      <xsl:with-param name="name" select="'Version'"/>
      <xsl:with-param name="value" select="@version"/>
    </xsl:call-template>
    <xsl:call-template name="string-property">
      <xsl:with-param name="name" select="'Vendor'"/>
      <xsl:with-param name="value" select="@maintainer"/>
    </xsl:call-template>
    <xsl:call-template name="string-property">
      <xsl:with-param name="name" select="'Summary'"/>
      <xsl:with-param name="value" select="@summary"/>
    </xsl:call-template>
    <xsl:call-template name="number-property">
      <xsl:with-param name="name" select="'InstalledSizeKiB'"/>
      <xsl:with-param name="value" select="@installedSizeKiB"/>
    </xsl:call-template>
    <xsl:call-template name="number-property">
      <xsl:with-param name="name" select="'InstallDate'"/>
      <xsl:with-param name="value" select="@installed"/>
    </xsl:call-template>
    <xsl:text>};&#10;</xsl:text>
  </xsl:template>
</xsl:stylesheet>
